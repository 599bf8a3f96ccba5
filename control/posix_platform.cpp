// The POSIX backend of Platform. EINTR and errno are handled here, once.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform.h"

namespace purgewell {

Platform::~Platform() = default;

namespace {

EntryType TypeOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryType::Regular;
  if (S_ISDIR(mode)) return EntryType::Directory;
  if (S_ISLNK(mode)) return EntryType::Symlink;
  return EntryType::Other;
}

class PosixPlatform final : public Platform {
 public:
  Result<EntryInfo> Lookup(const std::string& path) override {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return Result<EntryInfo>::Fail(errno);
    return {EntryInfo{TypeOf(st.st_mode), static_cast<uint64_t>(st.st_size), st.st_dev}, 0};
  }

  Result<OpenFile> OpenForOverwrite(const std::string& path) override {
    // O_NONBLOCK keeps a FIFO swapped in after the lookup from blocking the open;
    // it has no effect on writes to regular files.
    int fd;
    do {
      fd =
          ::open(path.c_str(), O_WRONLY | O_DSYNC | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
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

  int RenameNoReplace(const std::string& from, const std::string& to) override {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL) return errno;
    // File systems without RENAME_NOREPLACE: a hard link is just as exclusive.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
      const int error = errno;
      ::unlink(to.c_str());
      return error;
    }
    return 0;
  }

  int Unlink(const std::string& path) override { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

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
