// The engine's only door to the file system. The POSIX backend talks to the kernel;
// tests wrap it (PlatformWrapper) to record calls or to make one call fail.
//
// Thread rules: a Platform is used by one operation's worker at a time, except
// TickMs, which any thread may call. Implementations keep no per-call state.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "errors.h"
#include "purgewell_export.h"

namespace purgewell {

enum class EntryType { Regular, Directory, Symlink, Other };

// What a directory entry is, as lstat describes it (links are not followed).
struct EntryInfo {
  EntryType type = EntryType::Other;
  uint64_t size = 0;
  dev_t device = 0;
};

// A regular file opened for overwriting, with its length at the time it was opened.
struct OpenFile {
  int fd = -1;
  uint64_t size = 0;
};

class PURGEWELL_API Platform {
 public:
  virtual ~Platform();

  // Describes the entry `path` names without following a final symbolic link.
  // Fails with ENOENT when there is none (an empty path included).
  virtual Result<EntryInfo> Lookup(const std::string& path) = 0;

  // Opens the existing regular file `path` for writing, write-through (each write
  // reaches the device before it completes). Never follows a final symbolic link,
  // never blocks on a FIFO, and fails with EINVAL when the entry opened is not a
  // regular file. The caller owns the descriptor and closes it with Close.
  virtual Result<OpenFile> OpenForOverwrite(const std::string& path) = 0;

  // Writes at most `length` bytes of `data` at `offset` and returns how many were
  // written (at least 1). Interrupted calls are retried here.
  virtual Result<size_t> WriteAt(int fd, const void* data, size_t length, uint64_t offset) = 0;

  // Closes `fd`; returns 0 or the errno value of a failure reported by the close.
  virtual int Close(int fd) = 0;

  // Renames `from` to `to` but never replaces an existing `to` (EEXIST then).
  // Returns 0 or an errno value.
  virtual int RenameNoReplace(const std::string& from, const std::string& to) = 0;

  // Removes the directory entry `path` (not a folder). Returns 0 or an errno value.
  virtual int Unlink(const std::string& path) = 0;

  // Milliseconds of a monotonic clock.
  virtual uint64_t TickMs() = 0;
};

// The real platform.
PURGEWELL_API std::shared_ptr<Platform> MakePosixPlatform();

// Forwards every call to another platform; override the calls to observe or change.
class PURGEWELL_API PlatformWrapper : public Platform {
 public:
  explicit PlatformWrapper(std::shared_ptr<Platform> target) : target_(std::move(target)) {}

  Result<EntryInfo> Lookup(const std::string& path) override { return target_->Lookup(path); }
  Result<OpenFile> OpenForOverwrite(const std::string& path) override {
    return target_->OpenForOverwrite(path);
  }
  Result<size_t> WriteAt(int fd, const void* data, size_t length, uint64_t offset) override {
    return target_->WriteAt(fd, data, length, offset);
  }
  int Close(int fd) override { return target_->Close(fd); }
  int RenameNoReplace(const std::string& from, const std::string& to) override {
    return target_->RenameNoReplace(from, to);
  }
  int Unlink(const std::string& path) override { return target_->Unlink(path); }
  uint64_t TickMs() override { return target_->TickMs(); }

 protected:
  Platform& target() { return *target_; }

 private:
  std::shared_ptr<Platform> target_;
};

}  // namespace purgewell
