#include "shred_engine.h"

#include <algorithm>
#include <cerrno>

#include "pattern_buffers.h"
#include "storage.h"

namespace purgewell {
namespace {

constexpr uint64_t kRegionSize = PatternBuffers::kSize;
constexpr uint64_t kReportIntervalMs = 1000;

// Event counts carry the low 32 bits of the 64-bit figures.
int32_t Low32(uint64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

}  // namespace

CShredEngine::CShredEngine(std::shared_ptr<Platform> platform) : platform_(std::move(platform)) {}

void CShredEngine::Raise(Notification n) {
  if (SinkWindow) SinkWindow->Raise(std::move(n));
}

void CShredEngine::RaiseProgress(uint64_t done, int32_t pass) {
  Raise(
      {Notification::Kind::Progress, Low32(done), Low32(ProgressTotal), pass, 0, CurrentFileName});
}

void CShredEngine::ReportSystemError(int code) {
  ReportError(code, SystemErrorText(code));
}

void CShredEngine::ReportError(int code, std::string text) {
  ErrorNumber = code;
  ErrorText = std::move(text);
  Raise({Notification::Kind::Error, code, 0, 0, 0, ErrorText});
}

void CShredEngine::RunDeleteFile(const std::string& name) {
  ErrorNumber = 0;
  // The name is taken as given: no wildcard expansion, no resolving of links.
  const Result<EntryInfo> found = platform_->Lookup(kCurrentFolder, name);
  if (!found.ok()) {
    ReportSystemError(found.error);
    return;
  }
  ShredFoundFile(found.value, kCurrentFolder, name, name);
}

void CShredEngine::ShredFoundFile(const EntryInfo& info, int folder, const std::string& name,
                                  const std::string& path) {
  if (info.type == EntryType::Directory) return;
  ReportProgress = true;
  CurrentFileName = path;
  if (info.type == EntryType::Regular) {
    OverwriteThroughFile(folder, name);
  } else {
    // A link's target, a FIFO's writer or a device's contents are not this
    // entry's data: only the entry itself goes.
    DeleteScrambled(folder, name);
  }
  Raise({Notification::Kind::FileDeleted, 0, 0, 0, 0, path});
  ReportProgress = false;
}

void CShredEngine::OverwriteThroughFile(int folder, const std::string& name) {
  const Result<OpenFile> opened = platform_->OpenForOverwrite(folder, name);
  if (!opened.ok()) {
    ReportSystemError(opened.error);
    return;
  }
  const int fd = opened.value.fd;
  const uint64_t size = opened.value.size;
  const Result<StorageInfo> storage = platform_->Storage(fd);
  const bool reaches_blocks = !storage.ok() || WriteReachesBlocks(storage.value);

  auto fail = [&](int error) {
    ReportSystemError(error);
    platform_->Close(fd);
  };

  if (size > 0) {
    // The last byte first, so the file's full length is committed before the
    // regions are overwritten from the start.
    WriteCursor cursor{fd, size - 1};
    ProgressTotal = 0;
    ProgressDone = 0;
    if (int error = OverwriteRegion(cursor, 1)) return fail(error);

    cursor.position = 0;
    ProgressTotal = size - 1;
    ProgressDone = 0;
    while (ProgressDone < ProgressTotal) {
      const uint64_t chunk = std::min(kRegionSize, ProgressTotal - ProgressDone);
      if (int error = OverwriteRegion(cursor, chunk)) return fail(error);
      ProgressDone += chunk;
    }
  }

  if (int error = platform_->Close(fd)) {
    // The data may not all have reached the disk: keep the file for another try.
    ReportSystemError(error);
    return;
  }
  // Gone, but its earlier blocks may still hold the data: never claim otherwise.
  if (DeleteScrambled(folder, name) && !reaches_blocks) ReportError(EOPNOTSUPP, kCopyOnWriteText);
}

bool CShredEngine::DeleteScrambled(int folder, const std::string& name) {
  const std::string final_name = ScrambleName(folder, name);
  if (int error = platform_->Unlink(folder, final_name)) {
    ReportSystemError(error);
    if (final_name != name) platform_->RenameNoReplace(folder, final_name, name);
    return false;
  }
  return true;
}

int CShredEngine::OverwriteRegion(WriteCursor& cursor, uint64_t length) {
  const PatternBuffers* patterns = PatternBuffers::Get();
  if (patterns == nullptr) return ENOMEM;

  uint64_t last_report = platform_->TickMs();
  const uint64_t start = cursor.position;
  for (uint32_t pass = 0; pass < Passes; ++pass) {
    for (size_t b = 0; b < PatternBuffers::kCount; ++b) {
      if (CancelFlag.load()) {
        ReportSystemError(ECANCELED);
        return ECANCELED;
      }
      cursor.position = start;
      const uint8_t* pattern = patterns->buffer(b);
      uint64_t written = 0;
      while (written < length) {
        // Longer regions repeat the buffer; a short write resumes where the
        // pattern left off.
        const uint64_t in_buffer = written % kRegionSize;
        const size_t request =
            static_cast<size_t>(std::min(kRegionSize - in_buffer, length - written));
        const Result<size_t> wrote =
            platform_->WriteAt(cursor.fd, pattern + in_buffer, request, cursor.position);
        if (!wrote.ok()) return wrote.error;
        written += wrote.value;
        cursor.position += wrote.value;
        if (ReportProgress) {
          const uint64_t now = platform_->TickMs();
          if (now - last_report > kReportIntervalMs) {
            RaiseProgress(ProgressDone + written, static_cast<int32_t>(pass));
            last_report = now;
          }
        }
      }
    }
  }
  if (ReportProgress) RaiseProgress(ProgressDone + (Passes > 0 ? length : 0), Low32(Passes));
  return 0;
}

std::string CShredEngine::ScrambleName(int folder, const std::string& name) {
  const size_t slash = name.rfind('/');
  // A bare relative name is all name: it is scrambled too.
  const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  std::string current = name;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string next = current;
    for (size_t i = name_start; i < next.size(); ++i) {
      if (next[i] != '.') next[i] = letter;
    }
    if (next == current) continue;  // nothing to rename (a name of dots, or already this one)
    if (platform_->RenameNoReplace(folder, current, next) != 0) break;
    current = std::move(next);
  }
  return current;
}

}  // namespace purgewell
