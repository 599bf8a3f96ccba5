// Free-space wipe throughput on a loop-mounted ext4 image against the limit of
// the same writes: each piece of 128 clusters written 3 times (zeros, ones,
// random) in 64 KiB O_DIRECT requests until the file system is full, as
// `dd oflag=direct bs=512k` would write each piece. Needs root (loop devices).
//
//   bench_free_space [--dir DIR] [--size MIB]
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "bench_support.h"
#include "host_executor.h"
#include "purgewell_ctrl.h"

namespace {

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

// Fills the file system at `mount` with the wipe's first-fill writes, directly.
uint64_t FillDirectly(const std::string& mount) {
  struct statvfs vfs {};
  statvfs(mount.c_str(), &vfs);
  const uint64_t cluster = vfs.f_bsize;
  const std::string path = mount + "/fill";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_DIRECT | O_DSYNC, 0600);
  ::unlink(path.c_str());
  const bench::Patterns patterns;
  const auto& buffers = patterns.buffers();
  uint64_t piece = 128 * cluster, offset = 0;
  while (piece > cluster) {
    bool failed = false;
    for (int b = 0; b < 3 && !failed; ++b) {
      for (uint64_t done = 0; done < piece && !failed;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(65536, piece - done));
        const ssize_t w = ::pwrite(fd, buffers[b], n, static_cast<off_t>(offset + done));
        if (w <= 0)
          failed = true;
        else
          done += static_cast<uint64_t>(w);
      }
    }
    if (failed)
      piece -= cluster;
    else
      offset += piece;
  }
  ::close(fd);
  return offset;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = "/var/tmp";
  int mib = 384;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--dir") dir = argv[i + 1];
    if (option == "--size") mib = std::atoi(argv[i + 1]);
  }
  if (::geteuid() != 0) {
    std::fprintf(stderr, "bench_free_space needs root to attach a loop device\n");
    return 1;
  }
  const std::string image = dir + "/purgewell-bench-" + std::to_string(::getpid()) + ".img";
  const std::string mount = image + ".mnt";
  ::mkdir(mount.c_str(), 0700);
  if (Shell("truncate -s " + std::to_string(mib) + "M " + image) ||
      Shell("mkfs.ext4 -q -b 4096 " + image) || Shell("mount -o loop " + image + " " + mount)) {
    std::fprintf(stderr, "could not make and mount an ext4 image\n");
    return 1;
  }

  uint64_t direct_bytes = 0;
  const double direct_s = bench::Time([&] { direct_bytes = FillDirectly(mount); }).seconds;

  auto host = std::make_shared<purgewell::PlainExecutor>();
  purgewell::CPurgewellCtrl control(host);
  struct statvfs vfs {};
  statvfs(mount.c_str(), &vfs);
  const uint64_t free_bytes = static_cast<uint64_t>(vfs.f_bfree) * vfs.f_frsize;
  bool ok = false;
  const double wipe_s = bench::Time([&] { ok = control.ClearFreeSpace(mount, 1); }).seconds;

  Shell("umount " + mount);
  ::rmdir(mount.c_str());
  ::unlink(image.c_str());

  const double mib_direct = 3.0 * static_cast<double>(direct_bytes) / (1 << 20);
  const double mib_wipe = 3.0 * static_cast<double>(free_bytes) / (1 << 20);
  std::printf("ext4 image of %d MiB, %.0f MiB free, 1 pass (3 writes per piece)\n", mib,
              static_cast<double>(free_bytes) / (1 << 20));
  std::printf("limit (direct O_DIRECT pieces): %8.1f MiB/s  %6.2f s\n", mib_direct / direct_s,
              direct_s);
  std::printf("ClearFreeSpace:                 %8.1f MiB/s  %6.2f s%s\n", mib_wipe / wipe_s, wipe_s,
              ok ? "" : "  (reported an error)");
  std::printf("ratio ClearFreeSpace / limit: %.3f\n",
              (mib_wipe / wipe_s) / (mib_direct / direct_s));
  return ok ? 0 : 1;
}
