#include "data_files.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace corvane {

std::optional<QByteArray> ReadWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll();
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

QString ComputeAppFolder(const QString& programFolder, const QString& dataHome) {
  QString folder = programFolder.trimmed();
  if (!folder.endsWith('/')) folder += '/';
  if (::access(QFile::encodeName(folder).constData(), W_OK) == 0) return folder;
  const QString fallback = dataHome + (dataHome.endsWith('/') ? "" : "/") + "Corvane/";
  QDir().mkpath(fallback);
  return fallback;
}

static QString HomeBased(const char* variable, const char* below) {
  const QString set = qEnvironmentVariable(variable);
  if (!set.isEmpty() && QDir::isAbsolutePath(set)) return set;
  return QDir::homePath() + below;
}

QString DataHome() {
  return HomeBased("XDG_DATA_HOME", "/.local/share");
}
QString ConfigHome() {
  return HomeBased("XDG_CONFIG_HOME", "/.config");
}

}  // namespace corvane
