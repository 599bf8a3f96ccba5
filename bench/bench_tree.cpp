// The cost of shredding a folder tree of many small files.
//
// Three runs over trees of the same shape (--files one-byte files in folders of
// 100): DeleteDirectory with 3 passes; the same system calls issued directly
// (per file 9 write-through writes of its byte, 26 renames, one unlink; per
// folder one rmdir); and `rm -r`. Then peak memory of DeleteDirectory for a tree
// a tenth the size against the full tree, each in a child process of its own.
//
//   bench_tree [--dir DIR] [--files N]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "host_executor.h"
#include "purgewell_ctrl.h"

namespace {

constexpr int kPerFolder = 100;

std::string MakeTree(const std::string& base, const std::string& name, int files) {
  const std::string root = base + "/" + name;
  ::mkdir(root.c_str(), 0700);
  for (int i = 0; i < files; ++i) {
    const std::string folder = root + "/d" + std::to_string(i / kPerFolder);
    if (i % kPerFolder == 0) ::mkdir(folder.c_str(), 0700);
    const std::string file = folder + "/file" + std::to_string(i) + ".txt";
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || ::write(fd, "x", 1) != 1) {
      std::perror(file.c_str());
      std::exit(1);
    }
    ::close(fd);
  }
  ::sync();
  return root;
}

bool ShredTree(const std::string& root) {
  auto host = std::make_shared<purgewell::PlainExecutor>();
  purgewell::CPurgewellCtrl control(host);
  return control.DeleteDirectory(root, 3);
}

// What DeleteDirectory asks of the system for one-byte files, without the control.
void DirectCalls(const std::string& root, int files) {
  static const char patterns[3] = {0x00, static_cast<char>(0xFF), 0x5A};
  for (int d = 0; d * kPerFolder < files; ++d) {
    const std::string folder = root + "/d" + std::to_string(d);
    for (int i = d * kPerFolder; i < std::min(files, (d + 1) * kPerFolder); ++i) {
      std::string path = folder + "/file" + std::to_string(i) + ".txt";
      const int fd = ::open(path.c_str(), O_WRONLY | O_DSYNC);
      for (int w = 0; w < 9; ++w) {
        if (::pwrite(fd, &patterns[w % 3], 1, 0) != 1) std::exit(1);
      }
      ::close(fd);
      const size_t name = folder.size() + 1;
      for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string next = path;
        for (size_t k = name; k < next.size(); ++k) {
          if (next[k] != '.') next[k] = letter;
        }
        ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, next.c_str(), RENAME_NOREPLACE);
        path = next;
      }
      ::unlink(path.c_str());
    }
    ::rmdir(folder.c_str());
  }
  ::rmdir(root.c_str());
}

// Peak resident memory, in KiB, of a child process that shreds a tree of `files`.
long PeakMemoryKiB(const std::string& base, int files) {
  const std::string root = MakeTree(base, "memory" + std::to_string(files), files);
  const pid_t child = ::fork();
  if (child == 0) ::_exit(ShredTree(root) ? 0 : 1);
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = "/var/tmp";
  int files = 10000;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--dir") dir = argv[i + 1];
    if (option == "--files") files = std::atoi(argv[i + 1]);
  }
  const std::string base = dir + "/purgewell-bench-tree-" + std::to_string(::getpid());
  ::mkdir(base.c_str(), 0700);

  std::string root = MakeTree(base, "control", files);
  bool ok = true;
  const double control_s = bench::Time([&] { ok = ShredTree(root); }).seconds;
  root = MakeTree(base, "direct", files);
  const double direct_s = bench::Time([&] { DirectCalls(root, files); }).seconds;
  root = MakeTree(base, "rm", files);
  const double rm_s = bench::Time([&] { std::system(("rm -r '" + root + "'").c_str()); }).seconds;

  const long small_kib = PeakMemoryKiB(base, files / 10);
  const long full_kib = PeakMemoryKiB(base, files);
  ::rmdir(base.c_str());

  std::printf("tree of %d one-byte files in folders of %d, in %s\n", files, kPerFolder,
              dir.c_str());
  std::printf("DeleteDirectory, 3 passes: %8.2f s  %8.0f files/s%s\n", control_s, files / control_s,
              ok ? "" : "  (reported an error)");
  std::printf("same calls issued directly: %7.2f s  %8.0f files/s  ratio %.3f\n", direct_s,
              files / direct_s, direct_s / control_s);
  std::printf("rm -r:                      %7.2f s  %8.0f files/s\n", rm_s, files / rm_s);
  std::printf("peak memory: %ld KiB for %d files, %ld KiB for %d files\n", small_kib, files / 10,
              full_kib, files);
  return ok ? 0 : 1;
}
