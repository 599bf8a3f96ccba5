// The purgewell program as a script sees it: exit status, trace output, messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "test_support.h"

namespace purgewell::testing {
namespace {

struct RunResult {
  int status;
  std::string out;
  std::string err;
};

RunResult RunCli(const TempDir& dir, const std::string& arguments) {
  const std::string err_path = dir / "stderr.txt";
  const std::string command =
      std::string(PURGEWELL_CLI_PATH) + " " + arguments + " 2>" + err_path + " </dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, ReadFile(err_path)};
}

std::string Quote(const std::string& path) {
  return "'" + path + "'";
}

TEST(CliTest, ShredsEveryFileAndTracesEachEvent) {
  TempDir dir;
  const std::string a = dir / "a.txt";
  const std::string b = dir / "b.txt";
  WriteFile(a, "alpha");
  WriteFile(b, "");
  const RunResult r = RunCli(dir, "--trace -n 1 " + Quote(a) + " " + Quote(b));
  EXPECT_EQ(r.status, 0) << r.err;
  // Progress is queued while other events wait for the host, so only the
  // non-progress lines have a fixed order.
  std::vector<std::string> lines;
  std::stringstream stream(r.out);
  for (std::string line; std::getline(stream, line);) {
    if (line.find("OnFileDeleteProgress") == std::string::npos) lines.push_back(line);
  }
  EXPECT_THAT(lines,
              ::testing::ElementsAre(R"({"event":"OnFileDeleted","sFileName":")" + a + "\"}",
                                     R"({"event":"OnFileDeleted","sFileName":")" + b + "\"}"));
  EXPECT_FALSE(Exists(a));
  EXPECT_FALSE(Exists(b));
}

TEST(CliTest, AFailedFileGivesStatusOneAndTheOthersAreStillShredded) {
  TempDir dir;
  const std::string good = dir / "good";
  WriteFile(good, "x");
  const RunResult r = RunCli(dir, "--trace " + Quote(dir / "missing") + " " + Quote(good));
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(
      r.out,
      ::testing::StartsWith(
          R"({"event":"OnError","lErrorCode":2,"sErrorDescription":"No such file or directory"})"
          "\n"));
  EXPECT_THAT(r.err, ::testing::HasSubstr("No such file or directory"));
  EXPECT_FALSE(Exists(good));
}

TEST(CliTest, UsageErrorsGiveStatusTwoAndTouchNothing) {
  TempDir dir;
  const std::string keep = dir / "keep";
  WriteFile(keep, "x");
  for (const std::string& args :
       {std::string(""), "-n -1 " + Quote(keep), "-n 0 " + Quote(keep), "-n abc " + Quote(keep),
        "--bogus " + Quote(keep), std::string("-n")}) {
    SCOPED_TRACE(args);
    const RunResult r = RunCli(dir, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, ::testing::HasSubstr("purgewell: "));
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_EQ(ReadFile(keep), "x");
}

TEST(CliTest, FolderOperations) {
  TempDir dir;
  const std::string tree = dir / "tree";
  std::filesystem::create_directories(tree + "/sub");
  WriteFile(tree + "/a.doc", "a");
  WriteFile(tree + "/b.txt", "b");
  WriteFile(tree + "/sub/c.doc", "c");

  RunResult r = RunCli(dir, "-n 1 --pattern '*.doc' " + Quote(tree));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(Exists(tree + "/a.doc"));
  EXPECT_TRUE(Exists(tree + "/sub/c.doc"));

  r = RunCli(dir, "-n 1 --pattern '*.DOC' --recursive " + Quote(tree));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(Exists(tree + "/sub/c.doc"));
  EXPECT_TRUE(Exists(tree + "/b.txt"));

  r = RunCli(dir, "-n 1 --trace -r " + Quote(tree));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(Exists(tree));
  EXPECT_THAT(r.out, ::testing::HasSubstr(R"({"event":"OnDirectoryDeleted","sDirectoryName":")" +
                                          tree + "\"}"));
}

TEST(CliTest, FreeSpaceOfSomethingThatIsNoFolderFails) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  const RunResult r = RunCli(dir, "--free-space " + Quote(dir / "file"));
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, ::testing::HasSubstr("Not a directory"));
  EXPECT_EQ(RunCli(dir, "--free-space -r " + Quote(dir.path())).status, 2);
}

TEST(CliTest, HelpAndVersion) {
  TempDir dir;
  const RunResult help = RunCli(dir, "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, ::testing::HasSubstr("Usage: purgewell"));
  const RunResult version = RunCli(dir, "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "purgewell Version: 2.0.3\n");
}

}  // namespace
}  // namespace purgewell::testing
