// One running copy per user: a lock file in the user's runtime folder.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace corvane {

class InstanceGuard {
 public:
  // Takes the lock at `lockPath` (default: the user's runtime folder).
  explicit InstanceGuard(const QString& lockPath = DefaultLockPath());
  // Whether another copy holds the lock.
  bool AnotherCopyRuns() const { return !held_; }

  static QString DefaultLockPath();

 private:
  std::unique_ptr<QLockFile> lock_;
  bool held_ = false;
};

}  // namespace corvane
