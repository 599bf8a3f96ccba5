// Which files a write through the file destroys completely.
#include "storage.h"

#include <gtest/gtest.h>

namespace purgewell {
namespace {

TEST(WriteReachesBlocksTest, InPlaceAndCopyOnWriteFileSystems) {
  constexpr uint64_t kExt4 = 0xEF53, kXfs = 0x58465342, kTmpfs = 0x01021994;
  struct Case {
    const char* what;
    StorageInfo storage;
    bool reaches;
  };
  const Case cases[] = {
      {"ext4", {kExt4, true, 0}, true},
      {"ext4, flags unknown", {kExt4, false, 0}, true},
      {"xfs", {kXfs, true, 0}, true},
      {"tmpfs", {kTmpfs, false, 0}, true},
      {"btrfs", {kBtrfsMagic, true, 0}, false},
      {"btrfs, compressed", {kBtrfsMagic, true, 0x4}, false},
      {"btrfs, no copy-on-write", {kBtrfsMagic, true, kNoCopyOnWriteFlag}, true},
      {"btrfs, flags unknown", {kBtrfsMagic, false, kNoCopyOnWriteFlag}, false},
      {"bcachefs", {kBcachefsMagic, true, kNoCopyOnWriteFlag}, false},
      {"f2fs", {kF2fsMagic, true, 0}, false},
      {"zfs", {kZfsMagic, false, 0}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(WriteReachesBlocks(c.storage), c.reaches) << c.what;
}

}  // namespace
}  // namespace purgewell
