#include "instance_guard.h"

#include <unistd.h>

#include <QDir>
#include <QStandardPaths>

namespace corvane {

QString InstanceGuard::DefaultLockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder + "/corvane-" + QString::number(::getuid()) + ".lock";
}

InstanceGuard::InstanceGuard(const QString& lockPath)
    : lock_(std::make_unique<QLockFile>(lockPath)) {
  held_ = lock_->tryLock(0);
}

}  // namespace corvane
