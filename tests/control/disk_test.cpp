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
