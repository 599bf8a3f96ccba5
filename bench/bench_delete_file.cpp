// Throughput of DeleteFile against the limit of its own write pattern.
//
// Both runs write a file of --size MiB the same way: the last byte, then every
// 64 KiB region, each rewritten 3 x passes times with write-through (O_DSYNC)
// requests of at most 64 KiB, as `dd oflag=dsync bs=64k conv=notrunc` writes. The
// limit issues those writes directly; DeleteFile adds its events, renames and
// the delete. Prints both figures, their ratio and the CPU time of each.
//
//   bench_delete_file [--dir DIR] [--size MIB] [--passes N]
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "host_executor.h"
#include "purgewell_ctrl.h"

namespace {

using bench::Measure;
using bench::Time;

void MakeFile(const std::string& path, uint64_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) {
    std::perror("open");
    std::exit(1);
  }
  std::vector<char> block(1 << 20, 'd');
  for (uint64_t done = 0; done < size;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), size - done));
    if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) {
      std::perror("write");
      std::exit(1);
    }
    done += n;
  }
  ::fsync(fd);
  ::close(fd);
}

void WriteAll(int fd, const char* data, size_t length, uint64_t offset) {
  if (::pwrite(fd, data, length, static_cast<off_t>(offset)) != static_cast<ssize_t>(length)) {
    std::perror("pwrite");
    std::exit(1);
  }
}

// The same writes DeleteFile makes, issued directly.
void WriteLimit(const std::string& path, uint64_t size, int passes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_DSYNC);
  constexpr size_t kRegion = bench::Patterns::kSize;
  const bench::Patterns patterns;
  auto region = [&](uint64_t offset, size_t length) {
    for (int pass = 0; pass < passes; ++pass) {
      for (char* pattern : patterns.buffers()) WriteAll(fd, pattern, length, offset);
    }
  };
  region(size - 1, 1);
  for (uint64_t offset = 0; offset < size - 1; offset += kRegion) {
    region(offset, static_cast<size_t>(std::min<uint64_t>(kRegion, size - 1 - offset)));
  }
  ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = "/var/tmp";
  uint64_t mib = 256;
  int passes = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--dir") dir = argv[i + 1];
    if (option == "--size") mib = std::strtoull(argv[i + 1], nullptr, 10);
    if (option == "--passes") passes = std::atoi(argv[i + 1]);
  }
  const uint64_t size = mib << 20;
  const std::string path = dir + "/purgewell-bench-" + std::to_string(::getpid());
  const double written_mib = static_cast<double>(size) * 3 * passes / (1 << 20);

  MakeFile(path, size);
  const Measure limit = Time([&] { WriteLimit(path, size, passes); });

  MakeFile(path, size);
  auto host = std::make_shared<purgewell::PlainExecutor>();
  purgewell::CPurgewellCtrl control(host);
  bool ok = false;
  const Measure shred = Time([&] { ok = control.DeleteFile(path, passes); });
  ::unlink(path.c_str());
  if (!ok) {
    std::fprintf(stderr, "DeleteFile failed: %s\n", control.LastErrorDescription().c_str());
    return 1;
  }

  const double limit_rate = written_mib / limit.seconds;
  const double shred_rate = written_mib / shred.seconds;
  std::printf("file %llu MiB, %d passes, %.0f MiB written per run, in %s\n",
              static_cast<unsigned long long>(mib), passes, written_mib, dir.c_str());
  std::printf("limit (direct O_DSYNC 64 KiB writes): %8.1f MiB/s  %7.2f s  cpu %5.2f s\n",
              limit_rate, limit.seconds, limit.cpu_seconds);
  std::printf("DeleteFile:                           %8.1f MiB/s  %7.2f s  cpu %5.2f s\n",
              shred_rate, shred.seconds, shred.cpu_seconds);
  std::printf("ratio DeleteFile / limit: %.3f\n", shred_rate / limit_rate);
  return 0;
}
