#include "job_rows.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>

namespace corvane {
namespace {

bool Stat(const QString& path, struct stat& st) {
  return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString Decimal(double value, const QLocale& locale) {
  QLocale plain = locale;
  plain.setNumberOptions(QLocale::OmitGroupSeparator);
  return plain.toString(value, 'f', 2);
}

}  // namespace

QString FormatSize(uint64_t bytes, const QLocale& locale) {
  const double size = static_cast<double>(bytes);
  if (bytes >= 1073741824ull) return Decimal(size / 1024 / 1024 / 1024, locale) + " GB";
  if (bytes >= 1048576ull) return Decimal(size / 1024 / 1024, locale) + " MB";
  if (bytes >= 1024ull) return Decimal(size / 1024, locale) + " KB";
  return QString::number(bytes) + " Bytes";
}

QString FormatItemCount(int rows, const QLocale& locale) {
  if (rows == 0) return "0 Items";
  if (rows == 1) return "1 Item";
  QLocale grouped = locale;
  grouped.setNumberOptions({});
  return grouped.toString(rows) + " Items";
}

bool ItemExists(ItemKind kind, const QString& path) {
  struct stat st {};
  if (!Stat(path, st)) return false;
  return kind == ItemKind::Folder || !S_ISDIR(st.st_mode);
}

uint64_t FileSizeOf(const QString& path) {
  struct stat st {};
  return Stat(path, st) ? static_cast<uint64_t>(st.st_size) : 0;
}

QString SplitPath(const QString& path, QString& folder) {
  const qsizetype slash = path.lastIndexOf('/');
  if (slash < 0) return {};
  folder = path.left(slash + 1);
  return path.mid(slash + 1);
}

void EnsureDataFolders(const QString& appFolder) {
  QDir().mkpath(appFolder + "Jobs");
  QDir().mkpath(appFolder + "Report");
}

void AddFileRow(JobModel& model, const QString& path) {
  JobItem item;
  item.Path = path;
  item.SizeText = FormatSize(FileSizeOf(path));
  // Only three-letter extensions get an image of their own.
  if (path.size() >= 4 && path[path.size() - 4] == '.') {
    item.icon = model.icons().IconForExtension(path.trimmed().right(4).toUpper(), path);
  }
  model.Append(std::move(item));
}

void AddFolderRow(JobModel& model, const QString& path, const QString& mask,
                  const QString& subFolders) {
  model.Append({path, "N/A", mask, subFolders, 1, false});
}

ColumnWidths JobColumnWidths(int width) {
  return {width / 2, width / 7, width / 6, width / 6};
}

}  // namespace corvane
