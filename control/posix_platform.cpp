// The POSIX backend of Platform. EINTR and errno are handled here, once.
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/quota.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <string_view>

#include "platform.h"

namespace purgewell {

static_assert(kCurrentFolder == AT_FDCWD);

Platform::~Platform() = default;

namespace {

EntryType TypeOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryType::Regular;
  if (S_ISDIR(mode)) return EntryType::Directory;
  if (S_ISLNK(mode)) return EntryType::Symlink;
  return EntryType::Other;
}

bool ReadSmallFile(const std::string& path, std::string& text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[64];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  ::close(fd);
  if (n <= 0) return false;
  text.assign(buffer, static_cast<size_t>(n));
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return true;
}

bool WriteSmallFile(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return ok;
}

// Bytes the caller's block quota still allows on the file system of `fd`, or
// UINT64_MAX where no quota limits the caller.
uint64_t QuotaRoom(int fd) {
#ifdef SYS_quotactl_fd
  if_dqblk quota{};
  if (::syscall(SYS_quotactl_fd, fd, QCMD(Q_GETQUOTA, USRQUOTA), ::geteuid(), &quota) != 0) {
    return UINT64_MAX;  // no quota on this file system, or none we may read
  }
  if (!(quota.dqb_valid & QIF_BLIMITS) || quota.dqb_bhardlimit == 0) return UINT64_MAX;
  const uint64_t limit = quota.dqb_bhardlimit * QIF_DQBLKSIZE;
  return limit > quota.dqb_curspace ? limit - quota.dqb_curspace : 0;
#else
  (void)fd;
  return UINT64_MAX;
#endif
}

int OpenFolderFd(int folder, const std::string& name, int extra_flags) {
  int fd;
  do {
    fd = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | extra_flags);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

Result<EntryInfo> StatxInfo(int folder, const char* name, int flags) {
  struct statx sx {};
  if (::statx(folder, name, flags | AT_NO_AUTOMOUNT,
              STATX_TYPE | STATX_SIZE | STATX_INO | STATX_MNT_ID, &sx) != 0) {
    return Result<EntryInfo>::Fail(errno);
  }
  EntryInfo info;
  info.type = TypeOf(sx.stx_mode);
  info.size = sx.stx_size;
  info.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  info.inode = sx.stx_ino;
  info.mount = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : info.device;
  return {info, 0};
}

class PosixPlatform final : public Platform {
 public:
  Result<EntryInfo> Lookup(int folder, const std::string& name) override {
    return StatxInfo(folder, name.c_str(), AT_SYMLINK_NOFOLLOW);
  }

  Result<EntryInfo> Describe(int fd) override { return StatxInfo(fd, "", AT_EMPTY_PATH); }

  Result<OpenFile> OpenForOverwrite(int folder, const std::string& name) override {
    // O_NONBLOCK keeps a FIFO swapped in after the lookup from blocking the open;
    // it has no effect on writes to regular files.
    int fd;
    do {
      fd = ::openat(folder, name.c_str(),
                    O_WRONLY | O_DSYNC | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Result<OpenFile>::Fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      const int error = S_ISREG(st.st_mode) ? errno : EINVAL;
      ::close(fd);
      return Result<OpenFile>::Fail(error);
    }
    return {OpenFile{fd, static_cast<uint64_t>(st.st_size)}, 0};
  }

  Result<size_t> WriteAt(int fd, const void* data, size_t length, uint64_t offset) override {
    ssize_t n;
    do {
      n = ::pwrite(fd, data, length, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    if (n < 0) return Result<size_t>::Fail(errno);
    // A regular file that accepts nothing without an error is out of room.
    if (n == 0 && length > 0) return Result<size_t>::Fail(ENOSPC);
    return {static_cast<size_t>(n), 0};
  }

  int Close(int fd) override {
    // On Linux the descriptor is gone even when close reports EINTR.
    if (::close(fd) != 0 && errno != EINTR) return errno;
    return 0;
  }

  int RenameNoReplace(int folder, const std::string& from, const std::string& to) override {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL) return errno;
    // File systems without RENAME_NOREPLACE: a hard link is just as exclusive.
    if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0) return errno;
    if (::unlinkat(folder, from.c_str(), 0) != 0) {
      const int error = errno;
      ::unlinkat(folder, to.c_str(), 0);
      return error;
    }
    return 0;
  }

  int Unlink(int folder, const std::string& name) override {
    return ::unlinkat(folder, name.c_str(), 0) == 0 ? 0 : errno;
  }

  Result<int> OpenFolder(int folder, const std::string& name) override {
    const int fd = OpenFolderFd(folder, name, O_NOFOLLOW);
    if (fd < 0) return Result<int>::Fail(errno);
    return {fd, 0};
  }

  Result<std::vector<std::string>> ReadFolder(int folder) override {
    using R = Result<std::vector<std::string>>;
    // A fresh open of the same folder: its own position, so every call lists it
    // from the start, and the caller's descriptor stays as it is.
    const int fd = OpenFolderFd(folder, ".", 0);
    if (fd < 0) return R::Fail(errno);
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
      const int error = errno;
      ::close(fd);
      return R::Fail(error);
    }
    std::vector<std::string> names;
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(dir);
      if (entry == nullptr) break;
      const std::string_view name(entry->d_name);
      if (name != "." && name != "..") names.emplace_back(name);
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0) return R::Fail(error);
    return {std::move(names), 0};
  }

  int RemoveFolder(int folder, const std::string& name) override {
    return ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0 ? 0 : errno;
  }

  Result<std::string> CurrentDirectory() override {
    std::string buffer(4096, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (errno != ERANGE) return Result<std::string>::Fail(errno);
      buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return {buffer, 0};
  }

  Result<StorageInfo> Storage(int fd) override {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return Result<StorageInfo>::Fail(errno);
    StorageInfo info;
    info.fsMagic = static_cast<uint64_t>(fs.f_type);
    int flags = 0;  // the kernel reads and writes an int, whatever the ioctl's type says
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      info.flagsKnown = true;
      info.flags = static_cast<uint32_t>(flags);
    }
    return {info, 0};
  }

  Result<FreeSpaceInfo> FreeSpace(const std::string& path) override {
    const int fd = OpenFolderFd(AT_FDCWD, path, 0);
    if (fd < 0) return Result<FreeSpaceInfo>::Fail(errno);
    struct statvfs vfs {};
    if (::fstatvfs(fd, &vfs) != 0) {
      const int error = errno;
      ::close(fd);
      return Result<FreeSpaceInfo>::Fail(error);
    }
    FreeSpaceInfo info;
    const bool privileged = ::geteuid() == 0;
    info.clusterSize = static_cast<uint32_t>(vfs.f_bsize);
    info.totalFree = static_cast<uint64_t>(privileged ? vfs.f_bfree : vfs.f_bavail) * vfs.f_frsize;
    if (!privileged) info.quotaRoom = QuotaRoom(fd);
    ::close(fd);
    return {info, 0};
  }

  Result<int> CreateFillFile(const std::string& path, bool unbuffered) override {
    int fd;
    do {
      fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_DSYNC,
                  0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Result<int>::Fail(errno);
    if (unbuffered) {
      // Where the file system refuses O_DIRECT the file stays write-through.
      const int flags = ::fcntl(fd, F_GETFL);
      if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_DIRECT);
    }
    if (::unlink(path.c_str()) != 0) {
      const int error = errno;
      ::close(fd);
      return Result<int>::Fail(error);
    }
    return {fd, 0};
  }

  ReservedSpace ReleaseReservedSpace(const std::string& folder) override {
    constexpr long kExt4Magic = 0xEF53;
    struct statfs fs {};
    struct stat st {};
    if (::geteuid() != 0 || ::statfs(folder.c_str(), &fs) != 0 || fs.f_type != kExt4Magic ||
        ::stat(folder.c_str(), &st) != 0) {
      return {};
    }
    // /sys/dev/block/MAJOR:MINOR links to the device; ext4 names its settings after it.
    const std::string link = "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" +
                             std::to_string(minor(st.st_dev));
    char target[4096];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0) return {};
    const std::string device(target, static_cast<size_t>(n));
    const std::string knob =
        "/sys/fs/ext4/" + device.substr(device.rfind('/') + 1) + "/reserved_clusters";
    std::string previous;
    if (!ReadSmallFile(knob, previous) || !WriteSmallFile(knob, "0")) return {};
    return {knob, previous};
  }

  void RestoreReservedSpace(const ReservedSpace& reserved) override {
    if (!reserved.knob.empty()) WriteSmallFile(reserved.knob, reserved.previous);
  }

  Result<uint64_t> FileSize(int fd) override {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return Result<uint64_t>::Fail(errno);
    return {static_cast<uint64_t>(st.st_size), 0};
  }

  uint64_t TickMs() override {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
};

}  // namespace

std::shared_ptr<Platform> MakePosixPlatform() {
  return std::make_shared<PosixPlatform>();
}

}  // namespace purgewell
