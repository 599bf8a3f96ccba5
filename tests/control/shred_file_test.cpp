// Shredding one file: the exact writes, the progress figures, the renames, and
// what happens when a step fails.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "shred_engine.h"
#include "test_support.h"

namespace purgewell::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class ShredFileTest : public ::testing::Test {
 protected:
  std::string MakeFile(const std::string& name, size_t size, char fill = 'x') {
    const std::string path = dir / name;
    WriteFile(path, std::string(size, fill));
    return path;
  }

  bool Delete(const std::string& path, uint32_t passes = 3) {
    engine.Passes = passes;
    engine.RunDeleteFile(path);
    return engine.ErrorNumber == 0;
  }
  std::vector<std::string> Events() const { return rig.Events(); }

  TempDir dir;
  EngineRig rig;  // the engine on this thread, recording calls and notifications
  std::shared_ptr<RecordingPlatform>& platform = rig.platform;
  std::shared_ptr<RecordingTarget>& target = rig.target;
  CShredEngine& engine = rig.engine;
};

// The writes one region gets: `passes` times zeros, ones, random at the same place.
void ExpectRegion(std::vector<WriteCall>& out, uint64_t offset, size_t length, int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    for (int pattern = 0; pattern < 3; ++pattern) out.push_back({offset, length, pattern});
  }
}

struct WriteCase {
  const char* name;
  size_t size;
  int passes;
  std::vector<WriteCall> writes;
  std::vector<std::string> progress;
};

std::vector<WriteCase> WriteCases() {
  std::vector<WriteCase> cases;

  cases.push_back({"empty", 0, 3, {}, {}});

  WriteCase one{"one_byte", 1, 3, {}, {"Progress 1/0 p3"}};
  ExpectRegion(one.writes, 0, 1, 3);
  cases.push_back(one);

  // Two regions before the last byte: the first 64 KiB, then the rest.
  const size_t n = 100000;
  WriteCase two{"two_regions", n, 3, {}, {}};
  ExpectRegion(two.writes, n - 1, 1, 3);
  ExpectRegion(two.writes, 0, 65536, 3);
  ExpectRegion(two.writes, 65536, n - 65537, 3);
  two.progress = {"Progress 1/0 p3", "Progress 65536/99999 p3", "Progress 99999/99999 p3"};
  cases.push_back(two);

  // Exactly two regions plus the last byte.
  const size_t m = 131072;
  WriteCase full{"largest_two_regions", m, 1, {}, {}};
  ExpectRegion(full.writes, m - 1, 1, 1);
  ExpectRegion(full.writes, 0, 65536, 1);
  ExpectRegion(full.writes, 65536, 65535, 1);
  full.progress = {"Progress 1/0 p1", "Progress 65536/131071 p1", "Progress 131071/131071 p1"};
  cases.push_back(full);

  // No pass: nothing written, each step still closes with its unchanged count.
  cases.push_back({"zero_passes",
                   n,
                   0,
                   {},
                   {"Progress 0/0 p0", "Progress 0/99999 p0", "Progress 65536/99999 p0"}});
  return cases;
}

TEST_F(ShredFileTest, WritesAndProgressFollowTheRegionOrder) {
  for (const WriteCase& c : WriteCases()) {
    SCOPED_TRACE(c.name);
    TempDir local;
    EngineRig r;
    r.engine.Passes = static_cast<uint32_t>(c.passes);
    const std::string path = local / "file.bin";
    WriteFile(path, std::string(c.size, 'x'));

    r.engine.RunDeleteFile(path);

    EXPECT_TRUE(r.Succeeded());
    EXPECT_THAT(r.platform->writes(), ElementsAreArray(c.writes));
    std::vector<std::string> expected = c.progress;
    expected.push_back("FileDeleted " + path);
    EXPECT_THAT(r.Events(), ElementsAreArray(expected));
    EXPECT_EQ(r.platform->renames().size(), 26u);
    EXPECT_TRUE(ListNames(local.path()).empty());
  }
}

TEST_F(ShredFileTest, ProgressCarriesTheFileName) {
  const std::string path = MakeFile("named.txt", 10);
  ASSERT_TRUE(Delete(path));
  ASSERT_FALSE(target->events.empty());
  for (const Event& e : target->events) EXPECT_EQ(e.args.back().text, path) << e.name;
}

TEST_F(ShredFileTest, TimedReportsCountZeroBasedPassesAndBytesSoFar) {
  platform->clockStep = 2000;  // every write is more than a second after the last report
  const std::string path = MakeFile("slow.bin", 65537);
  ASSERT_TRUE(Delete(path, 1));
  EXPECT_THAT(Events(), ElementsAre("Progress 1/0 p0", "Progress 1/0 p0", "Progress 1/0 p0",
                                    "Progress 1/0 p1", "Progress 65536/65536 p0",
                                    "Progress 65536/65536 p0", "Progress 65536/65536 p0",
                                    "Progress 65536/65536 p1", "FileDeleted " + path));
}

TEST_F(ShredFileTest, RenamesThroughTheAlphabetKeepingTheDots) {
  const std::string path = MakeFile("a.b.c", 3);
  ASSERT_TRUE(Delete(path));
  std::vector<std::string> expected;
  for (char c = 'A'; c <= 'Z'; ++c)
    expected.push_back(dir / (std::string(1, c) + "." + c + "." + c));
  EXPECT_THAT(platform->renames(), ElementsAreArray(expected));
  EXPECT_EQ(platform->calls().back(), "unlink " + (dir / "Z.Z.Z"));
}

TEST_F(ShredFileTest, ExistingScrambledNameSurvivesAndFileGoesUnderItsOwnName) {
  const std::string bystander = dir / "AAAAAA.AAA";
  WriteFile(bystander, "keep me");
  const std::string path = MakeFile("report.doc", 100);

  EXPECT_TRUE(Delete(path));

  EXPECT_EQ(ReadFile(bystander), "keep me");
  EXPECT_THAT(ListNames(dir.path()), ElementsAre("AAAAAA.AAA"));
  EXPECT_TRUE(platform->renames().empty());
  EXPECT_EQ(platform->calls().back(), "unlink " + path);
}

TEST_F(ShredFileTest, FailedDeleteRenamesTheFileBack) {
  platform->failUnlinkError = EBUSY;
  const std::string path = MakeFile("report.doc", 100);

  EXPECT_FALSE(Delete(path));

  EXPECT_THAT(Events(), ElementsAre("Progress 1/0 p3", "Progress 99/99 p3", "Error 16",
                                    "FileDeleted " + path));
  EXPECT_THAT(ListNames(dir.path()), ElementsAre("report.doc"));
  EXPECT_EQ(ReadFile(path).size(), 100u);
  EXPECT_NE(ReadFile(path), std::string(100, 'x'));  // overwritten before the delete failed
  EXPECT_EQ(engine.ErrorNumber, EBUSY);
}

TEST(DeleteFileTest, MissingOrEmptyNameReportsOnlyNotFound) {
  TempDir dir;
  Host host;
  for (const std::string& name : {dir / "missing.txt", std::string()}) {
    SCOPED_TRACE(name);
    host.log.events.clear();
    EXPECT_FALSE(host.control->DeleteFile(name, 3));
    EXPECT_THAT(host.log.Summary(), ElementsAre("Error 2"));
    EXPECT_EQ(host.log.events[0].args[1].text, std::strerror(ENOENT));
    EXPECT_EQ(host.control->LastErrorNumber(), 2);
    EXPECT_EQ(host.control->LastErrorDescription(), std::strerror(ENOENT));
  }
}

TEST_F(ShredFileTest, WildcardsAreNotExpanded) {
  MakeFile("a.txt", 5);
  EXPECT_FALSE(Delete(dir / "*.txt"));
  EXPECT_THAT(Events(), ElementsAre("Error 2"));
  EXPECT_TRUE(Exists(dir / "a.txt"));
}

TEST_F(ShredFileTest, FolderIsLeftWithoutAnEvent) {
  const std::string sub = dir / "sub";
  ASSERT_EQ(::mkdir(sub.c_str(), 0700), 0);
  Host host(platform);
  EXPECT_TRUE(host.control->DeleteFile(sub, 3));
  EXPECT_TRUE(host.log.events.empty());
  EXPECT_TRUE(target->events.empty());
  EXPECT_TRUE(Exists(sub));
}

TEST_F(ShredFileTest, WriteFailingMidwayLeavesThePartlyOverwrittenFile) {
  platform->failWriteNumber = 19;  // the first write of the second region
  platform->failWriteError = ENOSPC;
  const std::string path = MakeFile("big.bin", 200000);

  EXPECT_FALSE(Delete(path));

  EXPECT_THAT(Events(), ElementsAre("Progress 1/0 p3", "Progress 65536/199999 p3", "Error 28",
                                    "FileDeleted " + path));
  EXPECT_EQ(target->events[2].args[1].text, std::strerror(ENOSPC));
  const std::string content = ReadFile(path);
  ASSERT_EQ(content.size(), 200000u);
  EXPECT_NE(content.substr(0, 65536), std::string(65536, 'x'));
  EXPECT_EQ(content.substr(70000, 1000), std::string(1000, 'x'));
  EXPECT_TRUE(platform->renames().empty());
  EXPECT_EQ(engine.ErrorNumber, ENOSPC);
}

TEST_F(ShredFileTest, FailedCloseKeepsTheFile) {
  platform->failCloseError = EIO;
  const std::string path = MakeFile("close.bin", 10);
  EXPECT_FALSE(Delete(path));
  EXPECT_THAT(Events(),
              ElementsAre("Progress 1/0 p3", "Progress 9/9 p3", "Error 5", "FileDeleted " + path));
  EXPECT_TRUE(Exists(path));
}

TEST_F(ShredFileTest, SymbolicLinkGoesAndItsTargetIsNeverOpened) {
  const std::string target = MakeFile("target.txt", 20, 't');
  const std::string link = dir / "link";
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);

  EXPECT_TRUE(Delete(link));

  EXPECT_THAT(Events(), ElementsAre("FileDeleted " + link));
  EXPECT_FALSE(Exists(link));
  EXPECT_EQ(ReadFile(target), std::string(20, 't'));
  for (const std::string& call : platform->calls()) EXPECT_NE(call.rfind("open", 0), 0u) << call;
  EXPECT_TRUE(platform->writes().empty());
}

TEST_F(ShredFileTest, DanglingLinkIsRemoved) {
  const std::string link = dir / "dangling";
  ASSERT_EQ(::symlink((dir / "nowhere").c_str(), link.c_str()), 0);
  EXPECT_TRUE(Delete(link));
  EXPECT_FALSE(Exists(link));
}

TEST_F(ShredFileTest, FifoIsRemovedWithoutBeingOpened) {
  const std::string fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  platform->forwardOpen = false;  // an open would block without a reader: never forward one

  EXPECT_TRUE(Delete(fifo));

  EXPECT_THAT(Events(), ElementsAre("FileDeleted " + fifo));
  EXPECT_FALSE(Exists(fifo));
  for (const std::string& call : platform->calls()) EXPECT_NE(call.rfind("open", 0), 0u) << call;
}

TEST_F(ShredFileTest, NegativePassCountIsRefusedAndTouchesNothing) {
  Host host(platform);
  const std::string path = MakeFile("keep.txt", 10);
  EXPECT_FALSE(host.control->DeleteFile(path, -1));
  EXPECT_THAT(host.log.Summary(), ElementsAre("Error 22"));
  EXPECT_EQ(host.log.events[0].args[1].text, std::strerror(EINVAL));
  EXPECT_EQ(ReadFile(path), std::string(10, 'x'));
  EXPECT_TRUE(platform->calls().empty());
  EXPECT_EQ(host.control->LastErrorNumber(), EINVAL);
}

TEST_F(ShredFileTest, BareRelativeNameIsScrambledToo) {
  const std::string path = MakeFile("secret.txt", 4);
  char previous[4096];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  const bool ok = Delete("secret.txt");
  ASSERT_EQ(::chdir(previous), 0);

  EXPECT_TRUE(ok);
  EXPECT_EQ(platform->renames().front(), "AAAAAA.AAA");
  EXPECT_EQ(platform->renames().back(), "ZZZZZZ.ZZZ");
  EXPECT_FALSE(Exists(path));
}

TEST_F(ShredFileTest, SuccessiveOperationsStartWithoutTheEarlierError) {
  Host host(platform);
  EXPECT_FALSE(host.control->DeleteFile(dir / "missing", 3));
  EXPECT_EQ(host.control->LastErrorNumber(), 2);
  EXPECT_TRUE(host.control->DeleteFile(MakeFile("fine.txt", 3), 3));
  EXPECT_EQ(host.control->LastErrorNumber(), 0);
  EXPECT_EQ(host.control->LastErrorDescription(), "");
}

TEST_F(ShredFileTest, FileWithoutWritePermissionStaysAfterAnAccessError) {
  const std::string path = MakeFile("readonly.txt", 10);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);

  const int outcome = AsUnprivilegedUser([&] {
    Host h;
    const bool result = h.control->DeleteFile(path, 3);
    const std::vector<std::string> expected = {"Error " + std::to_string(EACCES),
                                               "FileDeleted " + path};
    if (result) return 1;
    if (h.log.Summary() != expected) return 2;
    if (h.control->LastErrorNumber() != EACCES) return 3;
    return 0;
  });

  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(ReadFile(path), std::string(10, 'x'));
}

}  // namespace
}  // namespace purgewell::testing
