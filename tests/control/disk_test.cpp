// The data leaves the disk: a file is shredded on a real ext4 image and the raw
// image is searched for its contents afterwards.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "disk_image.h"
#include "test_support.h"

namespace purgewell::testing {
namespace {

// Writes `copies` of `marker` into `path` and makes sure they reach the device.
void WriteDurably(const std::string& path, const std::string& marker, int copies) {
  std::string content;
  for (int i = 0; i < copies; ++i) content += marker;
  WriteFile(path, content);
  const int fd = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::fsync(fd), 0);
  ::close(fd);
  ::sync();
}

TEST(DiskTest, ShreddedFileLeavesNoTraceOnExt4) {
  TempDir dir;
  LoopImage image(dir, "ext4", 32);
  if (!image.ready()) GTEST_SKIP() << image.skipReason();

  const std::string marker = UniqueMarker();
  const std::string path = image.mountPoint() + "/secret.txt";
  WriteDurably(path, marker, 20000);  // several regions' worth

  Host host;
  EXPECT_TRUE(host.control->DeleteFile(path, 1));
  EXPECT_FALSE(Exists(path));
  ASSERT_TRUE(image.Unmount());
  EXPECT_FALSE(image.ImageContains(marker));
}

TEST(DiskTest, PlainDeletionLeavesTheDataForTheScanToFind) {
  // Shows that the scan above can see a deleted file's data at all.
  TempDir dir;
  LoopImage image(dir, "ext4", 32);
  if (!image.ready()) GTEST_SKIP() << image.skipReason();

  const std::string marker = UniqueMarker();
  const std::string path = image.mountPoint() + "/plain.txt";
  WriteDurably(path, marker, 2000);
  ASSERT_EQ(::unlink(path.c_str()), 0);
  ASSERT_TRUE(image.Unmount());
  EXPECT_TRUE(image.ImageContains(marker));
}

}  // namespace
}  // namespace purgewell::testing

namespace purgewell::testing {
namespace {

// Syncs and deletes `path` the ordinary way: its blocks are free, its data in them.
void DeleteOrdinarily(const std::string& path) {
  ASSERT_EQ(::unlink(path.c_str()), 0);
  ::sync();
}

TEST(FreeSpaceDiskTest, WipeOverwritesTheBlocksOfAnOrdinarilyDeletedFile) {
  TempDir dir;
  // 4 KiB blocks: the fill files' few extents stay inside their inodes (see the
  // README on the extent-tree blocks of fragmented fill files).
  LoopImage image(dir, "ext4", 32, {}, "-b 4096");
  if (!image.ready()) GTEST_SKIP() << image.skipReason();

  const std::string marker = UniqueMarker();
  WriteDurably(image.mountPoint() + "/old.txt", marker, 20000);
  DeleteOrdinarily(image.mountPoint() + "/old.txt");
  const std::string reserve = image.ReservedClusters();

  Host host;
  EXPECT_TRUE(host.control->ClearFreeSpace(image.mountPoint(), 1))
      << host.control->LastErrorDescription();
  const auto reports = host.log.Count("OnFreeSpaceWipeProgress");
  EXPECT_GE(reports, 3u);
  const Event& last = host.log.events.back();
  EXPECT_EQ(last.name, "OnFreeSpaceWipeProgress");
  EXPECT_EQ(last.args[1].number, 100);           // the reserved clusters were taken too
  EXPECT_EQ(image.ReservedClusters(), reserve);  // and given back
  EXPECT_TRUE(ListNames(image.mountPoint()) == std::vector<std::string>{"lost+found"});
  ASSERT_TRUE(image.Unmount());
  EXPECT_FALSE(image.ImageContains(marker));
}

TEST(CopyOnWriteDiskTest, BtrfsFileIsReportedAndTheFreeSpaceWipeFinishesTheJob) {
  TempDir dir;
  LoopImage image(dir, "btrfs", 160);
  if (!image.ready()) GTEST_SKIP() << image.skipReason();

  const std::string marker = UniqueMarker();
  const std::string path = image.mountPoint() + "/secret.txt";
  WriteDurably(path, marker, 20000);
  const std::string copy = image.mountPoint() + "/copy.txt";
  ASSERT_EQ(RunShell("cp --reflink=always " + path + " " + copy), 0);
  const std::string copied = ReadFile(copy);

  Host host;
  EXPECT_FALSE(host.control->DeleteFile(path, 1));
  EXPECT_EQ(host.control->LastErrorNumber(), EOPNOTSUPP);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(ReadFile(copy), copied);  // shared blocks are never written directly

  // The copy shares the old blocks: once it goes too, the wipe can reach them.
  DeleteOrdinarily(copy);
  ASSERT_EQ(RunShell("btrfs filesystem sync " + image.mountPoint()), 0);
  EXPECT_TRUE(host.control->ClearFreeSpace(image.mountPoint(), 1))
      << host.control->LastErrorDescription();
  ASSERT_TRUE(image.Unmount());
  EXPECT_FALSE(image.ImageContains(marker));
}

TEST(MountsInTreeDiskTest, NeitherABindMountNorAnImageBelowTheTreeIsEntered) {
  TempDir dir;
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount";
  const std::string outside = dir / "outside";
  const std::string tree = dir / "tree";
  ASSERT_EQ(::mkdir(outside.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(tree.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((tree + "/bound").c_str(), 0755), 0);
  WriteFile(outside + "/keep.txt", "outside");
  WriteFile(tree + "/mine.txt", "mine");
  if (RunShell("mount --bind " + outside + " " + tree + "/bound") != 0) {
    GTEST_SKIP() << "bind mounts are not available here";
  }
  LoopImage image(dir, "ext4", 16, tree + "/image");
  if (!image.ready()) {
    RunShell("umount " + tree + "/bound");
    GTEST_SKIP() << image.skipReason();
  }
  WriteFile(image.mountPoint() + "/inside.txt", "on the image");

  Host host;
  EXPECT_FALSE(host.control->DeleteDirectory(tree, 1));  // the mount points cannot go

  EXPECT_EQ(ReadFile(outside + "/keep.txt"), "outside");
  EXPECT_EQ(ReadFile(image.mountPoint() + "/inside.txt"), "on the image");
  EXPECT_FALSE(Exists(tree + "/mine.txt"));
  EXPECT_EQ(host.control->LastErrorNumber(), ENOTEMPTY);
  RunShell("umount " + tree + "/bound");
  image.Unmount();
}

}  // namespace
}  // namespace purgewell::testing
