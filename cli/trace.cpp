#include "trace.h"

#include "typelib.h"

namespace purgewell::cli {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
  return out;
}

std::string TraceLine(int32_t eventId, const std::vector<Variant>& args) {
  const EventInfo* info = FindEvent(eventId);
  std::string line = "{\"event\":";
  line += JsonString(info ? std::string(info->name) : "Event" + std::to_string(eventId));
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string key = info && i < info->params.size() ? std::string(info->params[i].name)
                                                            : "arg" + std::to_string(i);
    line += "," + JsonString(key) + ":";
    switch (args[i].kind) {
      case Variant::Kind::Text:
        line += JsonString(args[i].text);
        break;
      case Variant::Kind::Bool:
        line += args[i].number ? "true" : "false";
        break;
      case Variant::Kind::Long:
        line += std::to_string(args[i].number);
        break;
      case Variant::Kind::Empty:
        line += "null";
        break;
    }
  }
  line += "}";
  return line;
}

uint64_t Unwrap32(uint64_t previous, int32_t low) {
  constexpr uint64_t kSpan = uint64_t{1} << 32;
  uint64_t value = (previous & ~(kSpan - 1)) | static_cast<uint32_t>(low);
  if (value + kSpan / 2 < previous) value += kSpan;
  return value;
}

void ConsoleEvents::BeginFile(const std::string& path, uint64_t size) {
  file_ = path;
  finished_.clear();
  size_ = size;
  done_ = 0;
}

void ConsoleEvents::FinishLine() {
  if (progress_ && line_open_) {
    std::fputc('\n', progress_);
    std::fflush(progress_);
  }
  line_open_ = false;
}

void ConsoleEvents::Invoke(int32_t eventId, const std::vector<Variant>& args) {
  if (trace_) {
    std::fputs((TraceLine(eventId, args) + "\n").c_str(), trace_);
    std::fflush(trace_);
  }
  switch (eventId) {
    case EVENTID_ONFILEDELETEPROGRESS: {
      if (!progress_ || args.size() != 4 || args[3].text == finished_) break;
      if (args[3].text != file_) BeginFile(args[3].text, 0);
      // The last-byte step reports 1 of 0; the main step counts up to size - 1.
      const bool last_byte_step = args[1].number == 0;
      done_ = last_byte_step ? 0 : Unwrap32(done_, args[0].number);
      const uint64_t total = size_ > 0 ? size_ - 1 : 0;
      const unsigned percent =
          total == 0 ? 0 : static_cast<unsigned>(std::min<uint64_t>(done_ * 100 / total, 100));
      std::fprintf(progress_, "\r%s  %llu of %llu bytes  %u%%  (pass %d)\033[K",
                   args[3].text.c_str(), static_cast<unsigned long long>(done_),
                   static_cast<unsigned long long>(total), percent, args[2].number);
      std::fflush(progress_);
      line_open_ = true;
      break;
    }
    case EVENTID_ONERROR:
      FinishLine();
      if (errors_ && args.size() == 2) {
        const std::string where = file_.empty() ? "" : file_ + ": ";
        std::fprintf(errors_, "purgewell: %s%s%s(error %d)\n", where.c_str(), args[1].text.c_str(),
                     args[1].text.empty() ? "" : " ", args[0].number);
      }
      break;
    case EVENTID_ONFREESPACEWIPEPROGRESS:
      if (progress_ && args.size() == 4) {
        std::fprintf(progress_, "\r%s  %d%%  %u of %u KiB\033[K", args[0].text.c_str(),
                     args[1].number, static_cast<uint32_t>(args[2].number),
                     static_cast<uint32_t>(args[3].number));
        std::fflush(progress_);
        line_open_ = true;
      }
      break;
    case EVENTID_ONDIRECTORYDELETED:
      FinishLine();
      if (progress_ && args.size() == 1) {
        std::fprintf(progress_, "folder done: %s\n", args[0].text.c_str());
      }
      break;
    case EVENTID_ONFILEDELETED:
      FinishLine();
      if (args.size() == 1) finished_ = args[0].text;
      if (progress_ && args.size() == 1)
        std::fprintf(progress_, "done: %s\n", args[0].text.c_str());
      break;
    default:
      break;
  }
}

}  // namespace purgewell::cli
