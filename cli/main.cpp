// purgewell: the shredder for terminals and scripts. Drives the control in
// synchronous mode on the main thread, which serves as the control's host.
#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host_executor.h"
#include "purgewell_ctrl.h"
#include "trace.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void PrintHelp() {
  std::printf(
      "Usage: purgewell [OPTION]... FILE...\n"
      "       purgewell [OPTION]... -r FOLDER...\n"
      "       purgewell [OPTION]... --pattern PATTERN [--recursive] FOLDER...\n"
      "       purgewell [OPTION]... --free-space FOLDER...\n"
      "Destroy each FILE beyond recovery: overwrite it in place several times, rename it\n"
      "26 times and delete it. Symbolic links, FIFOs, sockets and device nodes are\n"
      "removed without being opened; their targets are never touched.\n"
      "\n"
      "  -r, --recursive  with folders: destroy every file below each FOLDER and remove\n"
      "                   the folders, FOLDER last; with --pattern: also in sub-folders\n"
      "  -p, --pattern P  destroy the files of each FOLDER whose names match P (* and ?,\n"
      "                   letters in any case; quote it); folders stay\n"
      "  -f, --free-space overwrite the free space of the file system holding each FOLDER\n"
      "  -n, --passes N   overwrite passes, 1 or more (each writes zeros, ones, random\n"
      "                   bytes); default 3\n"
      "  -v, --verbose    show progress on the terminal\n"
      "      --trace      write every event of the control to standard output, one JSON\n"
      "                   object per line\n"
      "  -h, --help       show this help and exit\n"
      "  -V, --version    show the version and exit\n"
      "\n"
      "Exit status: 0 when every file was destroyed without an error, 1 when an error\n"
      "was reported, 2 for a usage error.\n"
      "\n"
      "Overwriting reaches the blocks a file occupies now. It cannot reach copies the\n"
      "device or the system keeps elsewhere: flash wear levelling, journals, snapshots,\n"
      "backups. On copy-on-write file systems (btrfs, bcachefs, f2fs, ZFS) a file's\n"
      "earlier blocks are not reached and an error says so; --free-space afterwards\n"
      "overwrites them.\n");
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "purgewell: %s\nTry 'purgewell --help' for more information.\n",
               message.c_str());
  return kExitUsage;
}

bool ParsePasses(const char* text, int32_t& passes) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  // At least one pass: without one a file would be deleted with its data in place.
  if (errno != 0 || *end != '\0' || value < 1 || value > INT32_MAX) return false;
  passes = static_cast<int32_t>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  enum { kTraceOption = 1000 };
  const option options[] = {
      {"passes", required_argument, nullptr, 'n'},
      {"verbose", no_argument, nullptr, 'v'},
      {"recursive", no_argument, nullptr, 'r'},
      {"pattern", required_argument, nullptr, 'p'},
      {"free-space", no_argument, nullptr, 'f'},
      {"trace", no_argument, nullptr, kTraceOption},
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'V'},
      {nullptr, 0, nullptr, 0},
  };

  int32_t passes = 3;
  bool verbose = false;
  bool trace = false;
  bool recursive = false;
  bool free_space = false;
  const char* pattern = nullptr;
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, ":n:vrp:fhV", options, nullptr)) != -1;) {
    switch (c) {
      case 'r':
        recursive = true;
        break;
      case 'p':
        pattern = optarg;
        break;
      case 'f':
        free_space = true;
        break;
      case 'n':
        if (!ParsePasses(optarg, passes)) {
          return UsageError(std::string("invalid number of passes: '") + optarg + "'");
        }
        break;
      case 'v':
        verbose = true;
        break;
      case kTraceOption:
        trace = true;
        break;
      case 'h':
        PrintHelp();
        return kExitOk;
      case 'V': {
        auto host = std::make_shared<purgewell::PlainExecutor>();
        purgewell::CPurgewellCtrl control(host);
        std::printf("purgewell %s\n", control.Version().c_str());
        return kExitOk;
      }
      case ':':
        return UsageError(std::string("option requires an argument: ") + argv[optind - 1]);
      default:
        return UsageError(std::string("unknown option: ") + argv[optind - 1]);
    }
  }
  if (free_space && (recursive || pattern)) {
    return UsageError("--free-space goes with neither --recursive nor --pattern");
  }
  if (optind >= argc)
    return UsageError(free_space || recursive || pattern ? "no folder given" : "no file given");

  auto host = std::make_shared<purgewell::PlainExecutor>();
  purgewell::CPurgewellCtrl control(host);
  purgewell::cli::ConsoleEvents console(trace ? stdout : nullptr, verbose ? stderr : nullptr,
                                        stderr);
  control.Advise(&console);

  int status = kExitOk;
  for (int i = optind; i < argc; ++i) {
    const std::string path = argv[i];
    bool ok;
    if (free_space) {
      console.BeginFile({}, 0);
      ok = control.ClearFreeSpace(path, passes);
    } else if (pattern) {
      console.BeginFile({}, 0);
      ok = control.DeleteFiles(path, pattern, recursive ? -1 : 0, passes);
    } else if (recursive) {
      console.BeginFile({}, 0);
      ok = control.DeleteDirectory(path, passes);
    } else {
      struct stat st {};
      console.BeginFile(path,
                        ::lstat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0);
      ok = control.DeleteFile(path, passes);
    }
    if (!ok) status = kExitFailed;
    console.FinishLine();
  }
  return status;
}
