#include "job_file.h"

namespace corvane {
namespace {

void WriteValue(QByteArray& out, const QString& value) {
  out += '"';
  out += value.toUtf8();
  out += "\"\r\n";
}

class ValueReader {
 public:
  explicit ValueReader(const QByteArray& bytes) : bytes_(bytes) {}

  bool AtEnd() const { return pos_ >= bytes_.size(); }

  std::optional<QString> Next() {
    if (AtEnd()) return std::nullopt;
    qsizetype end = bytes_.indexOf('\n', pos_);
    if (end < 0) end = bytes_.size();
    QByteArray line = bytes_.mid(pos_, end - pos_);
    pos_ = end + 1;
    if (line.endsWith('\r')) line.chop(1);
    if (line.startsWith('"')) {
      const qsizetype close = line.indexOf('"', 1);
      return QString::fromUtf8(close < 0 ? line.mid(1) : line.mid(1, close - 1));
    }
    const qsizetype comma = line.indexOf(',');
    return QString::fromUtf8(comma < 0 ? line : line.left(comma));
  }

 private:
  const QByteArray& bytes_;
  qsizetype pos_ = 0;
};

}  // namespace

QByteArray SerializeJob(const QString& lastRun, const std::vector<JobItem>& rows) {
  QByteArray out;
  WriteValue(out, lastRun);
  WriteValue(out, "[FOLDERS]");
  for (const JobItem& row : rows) {
    if (!row.isFolder()) continue;
    WriteValue(out, row.Path);
    WriteValue(out, row.Mask);
    WriteValue(out, row.SubFolders);
  }
  WriteValue(out, "[FILES]");
  for (const JobItem& row : rows) {
    if (!row.isFolder()) WriteValue(out, row.Path);
  }
  return out;
}

std::optional<JobFileContent> ParseJob(const QByteArray& bytes) {
  ValueReader reader(bytes);
  JobFileContent content;
  auto last_run = reader.Next();
  if (!last_run || !reader.Next()) return std::nullopt;
  content.lastRun = *last_run;
  bool files = false;
  while (!reader.AtEnd()) {
    const QString value = *reader.Next();
    if (value == "[FILES]") {
      files = true;
    } else if (files) {
      content.entries.push_back({false, value, {}, {}});
    } else {
      auto mask = reader.Next();
      auto sub = mask ? reader.Next() : std::nullopt;
      if (!sub) return std::nullopt;
      content.entries.push_back({true, value, *mask, *sub});
    }
  }
  return content;
}

std::optional<QString> ReadLastRunValue(const QByteArray& bytes) {
  return ValueReader(bytes).Next();
}

bool JobFileCanHold(const QString& path) {
  return !path.contains('"') && !path.contains('\n') && !path.contains('\r');
}

}  // namespace corvane
