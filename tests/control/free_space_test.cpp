// Free-space wiping on a pretend file system: the fill loops, the figures and
// reports, the refusals and cancellation.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "test_support.h"

namespace purgewell::testing {
namespace {

using ::testing::ElementsAre;

class FreeSpaceTest : public ::testing::Test {
 protected:
  // A file system of 4 KiB clusters whose free space takes `capacity` bytes.
  void Pretend(uint64_t totalFree, uint64_t capacity, uint64_t quotaRoom = UINT64_MAX) {
    rig.platform->freeSpace = FreeSpaceInfo{4096, totalFree, quotaRoom};
    rig.platform->capacity = capacity;
  }
  void Wipe(const std::string& drive, uint32_t passes = 1) {
    rig.engine.Passes = passes;
    rig.engine.ClearDriveFreeSpace(drive);
  }
  std::vector<std::string> FreeSpaceReports() const {
    std::vector<std::string> out;
    for (const std::string& e : rig.Events()) {
      if (e.rfind("FreeSpace", 0) == 0) out.push_back(e);
    }
    return out;
  }

  TempDir dir;
  EngineRig rig;
};

TEST_F(FreeSpaceTest, FillsEveryByteAndReportsEachNewPercentage) {
  Pretend(1000000, 1000000);
  Wipe(dir.path());

  EXPECT_TRUE(rig.Succeeded());
  const auto reports = FreeSpaceReports();
  ASSERT_GE(reports.size(), 3u);
  EXPECT_EQ(reports.front(), "FreeSpace 0% 0/0");
  // Whole KiB and whole percentages, rounded down; the last figures come again
  // once the files are closed.
  EXPECT_EQ(reports[reports.size() - 1], "FreeSpace 100% 976/976");
  EXPECT_EQ(reports[reports.size() - 2], "FreeSpace 100% 976/976");
  EXPECT_THAT(reports, ::testing::Contains("FreeSpace 52% 512/976"));  // the first 128 clusters
  for (const auto& event : rig.target->events) EXPECT_NE(event.name, "OnFileDeleteProgress");
  EXPECT_THAT(ListNames(dir.path()), ::testing::IsEmpty());
  EXPECT_THAT(rig.platform->calls(), ::testing::IsSupersetOf({"create " + (dir / "PGWTEMP"),
                                                              "create " + (dir / "PGWTEMP1")}));
}

TEST_F(FreeSpaceTest, EveryPieceIsOverwrittenWithEveryPatternOfEveryPass) {
  Pretend(40000, 40000);
  Wipe(dir.path(), 2);
  ASSERT_TRUE(rig.Succeeded());
  // The first piece: 128 clusters do not fit, 9 do: six writes (2 passes x 3
  // patterns) of the same 36864 bytes at offset 0, zeros, ones, random.
  std::vector<WriteCall> first;
  for (const WriteCall& w : rig.platform->writes()) {
    if (w.offset == 0 && w.length == 36864) first.push_back(w);
  }
  EXPECT_THAT(first,
              ElementsAre(WriteCall{0, 36864, 0}, WriteCall{0, 36864, 1}, WriteCall{0, 36864, 2},
                          WriteCall{0, 36864, 0}, WriteCall{0, 36864, 1}, WriteCall{0, 36864, 2}));
  EXPECT_EQ(FreeSpaceReports().back(), "FreeSpace 100% 39/39");
}

TEST_F(FreeSpaceTest, NothingFreeGivesZeroPercent) {
  Pretend(0, 0);
  Wipe(dir.path());
  EXPECT_TRUE(rig.Succeeded());
  EXPECT_THAT(FreeSpaceReports(), ElementsAre("FreeSpace 0% 0/0", "FreeSpace 0% 0/0"));
}

TEST_F(FreeSpaceTest, NoPassesIsRefusedInsteadOfFillingForever) {
  Pretend(100000, 100000);
  Wipe(dir.path(), 0);
  EXPECT_THAT(rig.Events(), ElementsAre("FreeSpace 0% 0/0", "Error " + std::to_string(EINVAL)));
  EXPECT_FALSE(rig.platform->Called("create"));
}

TEST_F(FreeSpaceTest, TextThatNamesNoFolderIsRefusedBeforeAnything) {
  WriteFile(dir / "file", "x");
  struct Case {
    std::string drive;
    int error;
  };
  for (const Case& c :
       {Case{"", ENOENT}, Case{dir / "missing", ENOENT}, Case{dir / "file", ENOTDIR}}) {
    SCOPED_TRACE(c.drive);
    EngineRig fresh;
    fresh.engine.ClearDriveFreeSpace(c.drive);
    EXPECT_THAT(fresh.Events(), ElementsAre("Error " + std::to_string(c.error)));
    EXPECT_FALSE(fresh.platform->Called("create"));
  }
}

TEST_F(FreeSpaceTest, LeftoverFillFileStopsTheRunAndSurvives) {
  Pretend(100000, 100000);
  WriteFile(dir / "PGWTEMP", "leftover");
  Wipe(dir.path());
  EXPECT_THAT(rig.Events(), ElementsAre("FreeSpace 0% 0/0", "Error " + std::to_string(EEXIST)));
  EXPECT_TRUE(rig.platform->writes().empty());
  EXPECT_EQ(ReadFile(dir / "PGWTEMP"), "leftover");
}

TEST_F(FreeSpaceTest, QuotaBelowTheFreeSpaceWritesNothing) {
  Pretend(100000, 100000, 50000);
  Wipe(dir.path());
  EXPECT_THAT(rig.Events(), ElementsAre("FreeSpace 0% 0/0", "Error " + std::to_string(EDQUOT)));
  EXPECT_EQ(rig.target->events[1].args[1].text,
            "Your disk quota prevents you from cleaning free space on this drive.");
  EXPECT_FALSE(rig.platform->Called("create"));
  EXPECT_EQ(rig.engine.ErrorNumber, EDQUOT);
}

TEST_F(FreeSpaceTest, QuotaThatCoversTheFreeSpaceIsNoObstacle) {
  Pretend(100000, 100000, 100000);
  Wipe(dir.path());
  EXPECT_TRUE(rig.Succeeded());
}

TEST_F(FreeSpaceTest, CancellationClosesTheFilesAndEndsWithTheFigures) {
  Pretend(10000000, 10000000);
  rig.target->onRaise = [&](const Event& e) {
    if (e.name == "OnFreeSpaceWipeProgress" && e.args[1].number >= 10) rig.engine.CancelFlag = true;
  };
  Wipe(dir.path());

  const auto events = rig.Events();
  const auto cancels =
      std::count(events.begin(), events.end(), "Error " + std::to_string(ECANCELED));
  EXPECT_GE(cancels, 1);
  EXPECT_LE(cancels, 3);
  EXPECT_EQ(events.back().rfind("FreeSpace", 0), 0u);
  EXPECT_EQ(events.back(), FreeSpaceReports()[FreeSpaceReports().size() - 1]);
  EXPECT_FALSE(rig.Succeeded());
  EXPECT_THAT(ListNames(dir.path()), ::testing::IsEmpty());
  EXPECT_EQ(rig.platform->FillBytes(), 0u);  // both closed
}

TEST_F(FreeSpaceTest, TimedReportsEveryHalfSecond) {
  Pretend(3 * 524288, 3 * 524288);
  rig.platform->clockStep = 600;  // each look at the clock is 600 ms after the last
  Wipe(dir.path());
  // Before each piece the timed report repeats the figures so far.
  EXPECT_THAT(FreeSpaceReports(),
              ::testing::IsSupersetOf({"FreeSpace 0% 0/1536", "FreeSpace 33% 512/1536"}));
}

TEST(FreeSpaceControlTest, RealRunLeavesNoFillFiles) {
  TempDir dir;
  Host host;
  // A real file system: just check the frame and that nothing is left behind,
  // on a pretend-small run (the platform wrapper caps the fill).
  auto platform = std::make_shared<RecordingPlatform>();
  platform->freeSpace = FreeSpaceInfo{4096, 300000, UINT64_MAX};
  platform->capacity = 300000;
  Host capped(platform);
  EXPECT_TRUE(capped.control->ClearFreeSpace(dir.path(), 1));
  EXPECT_THAT(ListNames(dir.path()), ::testing::IsEmpty());
  EXPECT_EQ(capped.control->LastErrorNumber(), 0);
  EXPECT_EQ(capped.log.Count("OnCleanFreeSpace"), 0u);
  EXPECT_GE(capped.log.Count("OnFreeSpaceWipeProgress"), 2u);
}

}  // namespace
}  // namespace purgewell::testing
