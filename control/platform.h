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
#include <vector>

#include "errors.h"
#include "purgewell_export.h"

namespace purgewell {

enum class EntryType { Regular, Directory, Symlink, Other };

// What a directory entry is, as lstat describes it (links are not followed).
struct EntryInfo {
  EntryType type = EntryType::Other;
  uint64_t size = 0;
  dev_t device = 0;
  ino_t inode = 0;
  // The mount the entry belongs to; a folder with another mount than its parent is
  // a mount point (bind mounts of the same file system included).
  uint64_t mount = 0;
};

// Where a file's data lives: the file system's magic number (statfs f_type) and
// the inode flags (FS_IOC_GETFLAGS), when the file system reports them.
struct StorageInfo {
  uint64_t fsMagic = 0;
  bool flagsKnown = false;
  uint32_t flags = 0;
};

// Free space of the file system holding a folder, as the caller may use it.
struct FreeSpaceInfo {
  uint32_t clusterSize = 0;  // the file system's block size
  uint64_t totalFree = 0;    // bytes the caller can write (root may use reserved blocks)
  // Bytes the caller's disk quota still allows there, or UINT64_MAX without a quota.
  uint64_t quotaRoom = UINT64_MAX;
};

// A file-system setting changed for the length of a free-space wipe.
struct ReservedSpace {
  std::string knob;  // the setting's file; empty when nothing was changed
  std::string previous;
};

// A regular file opened for overwriting, with its length at the time it was opened.
struct OpenFile {
  int fd = -1;
  uint64_t size = 0;
};

// Names are resolved inside a folder: `folder` is a descriptor from OpenFolder,
// or kCurrentFolder, where a name may also be a whole path. A walk that holds
// its folders open this way stays inside them even when a path in the tree is
// swapped for a symbolic link while it runs.
inline constexpr int kCurrentFolder = -100;  // AT_FDCWD

class PURGEWELL_API Platform {
 public:
  virtual ~Platform();

  // Describes the entry `name` names in `folder` without following a final
  // symbolic link. Fails with ENOENT when there is none (an empty name included).
  virtual Result<EntryInfo> Lookup(int folder, const std::string& name) = 0;

  // Describes the open entry `fd`.
  virtual Result<EntryInfo> Describe(int fd) = 0;

  // Opens the existing regular file `name` of `folder` for writing, write-through
  // (each write reaches the device before it completes). Never follows a final
  // symbolic link, never blocks on a FIFO, and fails with EINVAL when the entry
  // opened is not a regular file. The caller closes the descriptor with Close.
  virtual Result<OpenFile> OpenForOverwrite(int folder, const std::string& name) = 0;

  // Writes at most `length` bytes of `data` at `offset` and returns how many were
  // written (at least 1). Interrupted calls are retried here.
  virtual Result<size_t> WriteAt(int fd, const void* data, size_t length, uint64_t offset) = 0;

  // Closes `fd` (a file or a folder); returns 0 or the errno value of a failure.
  virtual int Close(int fd) = 0;

  // Renames `from` to `to`, both in `folder`, but never replaces an existing `to`
  // (EEXIST then). Returns 0 or an errno value.
  virtual int RenameNoReplace(int folder, const std::string& from, const std::string& to) = 0;

  // Removes the entry `name` of `folder` (not a folder). Returns 0 or an errno value.
  virtual int Unlink(int folder, const std::string& name) = 0;

  // Opens the folder `name` of `folder` for walking; a symbolic link is not
  // followed (ELOOP or ENOTDIR). The caller closes it with Close.
  virtual Result<int> OpenFolder(int folder, const std::string& name) = 0;

  // Names in the open folder `fd` in the order the file system lists them,
  // without "." and "..". Each call lists the folder afresh.
  virtual Result<std::vector<std::string>> ReadFolder(int fd) = 0;

  // Removes the empty folder `name` of `folder`. Returns 0 or an errno value.
  virtual int RemoveFolder(int folder, const std::string& name) = 0;

  // The process's current folder.
  virtual Result<std::string> CurrentDirectory() = 0;

  // Where the data of the open file `fd` lives.
  virtual Result<StorageInfo> Storage(int fd) = 0;

  // Free space of the file system of folder `path`; ENOTDIR when it is no folder.
  virtual Result<FreeSpaceInfo> FreeSpace(const std::string& path) = 0;

  // Creates the new file `path` (EEXIST when the name is taken) for writing
  // only, write-through, and unbuffered when `unbuffered` and the file system
  // allows it, and removes its name at once: the file lives until it is closed
  // or the process ends. The caller closes the descriptor with Close.
  virtual Result<int> CreateFillFile(const std::string& path, bool unbuffered) = 0;

  // The current length of the open file `fd`.
  virtual Result<uint64_t> FileSize(int fd) = 0;

  // ext4 keeps some clusters back from every writer, root included, so a fill
  // never reaches them. Where the caller may (root), hands them out for now and
  // returns what RestoreReservedSpace needs; otherwise changes nothing.
  virtual ReservedSpace ReleaseReservedSpace(const std::string& folder) = 0;
  virtual void RestoreReservedSpace(const ReservedSpace& reserved) = 0;

  // Milliseconds of a monotonic clock.
  virtual uint64_t TickMs() = 0;
};

// The real platform.
PURGEWELL_API std::shared_ptr<Platform> MakePosixPlatform();

// Forwards every call to another platform; override the calls to observe or change.
class PURGEWELL_API PlatformWrapper : public Platform {
 public:
  explicit PlatformWrapper(std::shared_ptr<Platform> target) : target_(std::move(target)) {}

  Result<EntryInfo> Lookup(int folder, const std::string& name) override {
    return target_->Lookup(folder, name);
  }
  Result<EntryInfo> Describe(int fd) override { return target_->Describe(fd); }
  Result<OpenFile> OpenForOverwrite(int folder, const std::string& name) override {
    return target_->OpenForOverwrite(folder, name);
  }
  Result<size_t> WriteAt(int fd, const void* data, size_t length, uint64_t offset) override {
    return target_->WriteAt(fd, data, length, offset);
  }
  int Close(int fd) override { return target_->Close(fd); }
  int RenameNoReplace(int folder, const std::string& from, const std::string& to) override {
    return target_->RenameNoReplace(folder, from, to);
  }
  int Unlink(int folder, const std::string& name) override { return target_->Unlink(folder, name); }
  Result<int> OpenFolder(int folder, const std::string& name) override {
    return target_->OpenFolder(folder, name);
  }
  Result<std::vector<std::string>> ReadFolder(int fd) override { return target_->ReadFolder(fd); }
  int RemoveFolder(int folder, const std::string& name) override {
    return target_->RemoveFolder(folder, name);
  }
  Result<std::string> CurrentDirectory() override { return target_->CurrentDirectory(); }
  Result<StorageInfo> Storage(int fd) override { return target_->Storage(fd); }
  Result<FreeSpaceInfo> FreeSpace(const std::string& path) override {
    return target_->FreeSpace(path);
  }
  Result<int> CreateFillFile(const std::string& path, bool unbuffered) override {
    return target_->CreateFillFile(path, unbuffered);
  }
  Result<uint64_t> FileSize(int fd) override { return target_->FileSize(fd); }
  ReservedSpace ReleaseReservedSpace(const std::string& folder) override {
    return target_->ReleaseReservedSpace(folder);
  }
  void RestoreReservedSpace(const ReservedSpace& reserved) override {
    target_->RestoreReservedSpace(reserved);
  }
  uint64_t TickMs() override { return target_->TickMs(); }

 protected:
  Platform& target() { return *target_; }

 private:
  std::shared_ptr<Platform> target_;
};

}  // namespace purgewell
