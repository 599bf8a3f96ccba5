// The platform's contract, run against the POSIX backend and against a wrapper
// over it, so a test double cannot drift from the real thing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "test_support.h"

namespace purgewell::testing {
namespace {

using Factory = std::function<std::shared_ptr<Platform>()>;

class PlatformContractTest : public ::testing::TestWithParam<Factory> {
 protected:
  std::shared_ptr<Platform> platform = GetParam()();
  TempDir dir;
};

TEST_P(PlatformContractTest, LookupDescribesEntriesWithoutFollowingLinks) {
  WriteFile(dir / "f", "12345");
  ASSERT_EQ(::mkdir((dir / "d").c_str(), 0700), 0);
  ASSERT_EQ(::symlink((dir / "d").c_str(), (dir / "l").c_str()), 0);
  ASSERT_EQ(::mkfifo((dir / "p").c_str(), 0600), 0);

  auto f = platform->Lookup(kCurrentFolder, dir / "f");
  ASSERT_TRUE(f.ok());
  EXPECT_EQ(f.value.type, EntryType::Regular);
  EXPECT_EQ(f.value.size, 5u);
  EXPECT_EQ(platform->Lookup(kCurrentFolder, dir / "d").value.type, EntryType::Directory);
  EXPECT_EQ(platform->Lookup(kCurrentFolder, dir / "l").value.type, EntryType::Symlink);
  EXPECT_EQ(platform->Lookup(kCurrentFolder, dir / "p").value.type, EntryType::Other);
  EXPECT_EQ(platform->Lookup(kCurrentFolder, dir / "none").error, ENOENT);
  EXPECT_EQ(platform->Lookup(kCurrentFolder, "").error, ENOENT);
}

TEST_P(PlatformContractTest, OpenForOverwriteTakesRegularFilesOnly) {
  WriteFile(dir / "f", "abc");
  ASSERT_EQ(::symlink((dir / "f").c_str(), (dir / "l").c_str()), 0);
  ASSERT_EQ(::mkfifo((dir / "p").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir((dir / "d").c_str(), 0700), 0);

  auto opened = platform->OpenForOverwrite(kCurrentFolder, dir / "f");
  ASSERT_TRUE(opened.ok());
  EXPECT_EQ(opened.value.size, 3u);
  EXPECT_NE(::fcntl(opened.value.fd, F_GETFL) & O_DSYNC, 0);
  EXPECT_EQ(platform->Close(opened.value.fd), 0);

  EXPECT_EQ(platform->OpenForOverwrite(kCurrentFolder, dir / "l").error, ELOOP);
  EXPECT_FALSE(
      platform->OpenForOverwrite(kCurrentFolder, dir / "p").ok());  // returns at once, no reader
  EXPECT_EQ(platform->OpenForOverwrite(kCurrentFolder, dir / "d").error, EISDIR);
  EXPECT_EQ(platform->OpenForOverwrite(kCurrentFolder, dir / "none").error, ENOENT);
}

TEST_P(PlatformContractTest, WriteAtWritesInPlaceWithoutTruncating) {
  WriteFile(dir / "f", "abcdefgh");
  auto opened = platform->OpenForOverwrite(kCurrentFolder, dir / "f");
  ASSERT_TRUE(opened.ok());
  auto wrote = platform->WriteAt(opened.value.fd, "XY", 2, 3);
  ASSERT_TRUE(wrote.ok());
  EXPECT_EQ(wrote.value, 2u);
  platform->Close(opened.value.fd);
  EXPECT_EQ(ReadFile(dir / "f"), "abcXYfgh");
}

TEST_P(PlatformContractTest, RenameNeverReplacesAnExistingEntry) {
  WriteFile(dir / "a", "first");
  WriteFile(dir / "b", "second");
  EXPECT_EQ(platform->RenameNoReplace(kCurrentFolder, dir / "a", dir / "b"), EEXIST);
  EXPECT_EQ(ReadFile(dir / "a"), "first");
  EXPECT_EQ(ReadFile(dir / "b"), "second");
  EXPECT_EQ(platform->RenameNoReplace(kCurrentFolder, dir / "a", dir / "c"), 0);
  EXPECT_EQ(ReadFile(dir / "c"), "first");
  EXPECT_FALSE(Exists(dir / "a"));
}

TEST_P(PlatformContractTest, UnlinkRemovesEntriesButNotFolders) {
  WriteFile(dir / "f", "x");
  ASSERT_EQ(::mkdir((dir / "d").c_str(), 0700), 0);
  EXPECT_EQ(platform->Unlink(kCurrentFolder, dir / "f"), 0);
  EXPECT_FALSE(Exists(dir / "f"));
  EXPECT_EQ(platform->Unlink(kCurrentFolder, dir / "f"), ENOENT);
  EXPECT_NE(platform->Unlink(kCurrentFolder, dir / "d"), 0);
  EXPECT_TRUE(Exists(dir / "d"));
}

TEST_P(PlatformContractTest, OpenFoldersHoldOnToTheFolderThatWasOpened) {
  ASSERT_EQ(::mkdir((dir / "tree").c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((dir / "elsewhere").c_str(), 0700), 0);
  WriteFile(dir / "tree/a", "in the tree");
  WriteFile(dir / "elsewhere/a", "not in the tree");
  ASSERT_EQ(::symlink((dir / "tree").c_str(), (dir / "link").c_str()), 0);

  EXPECT_FALSE(platform->OpenFolder(kCurrentFolder, dir / "link").ok());  // links are not followed
  const Result<int> tree = platform->OpenFolder(kCurrentFolder, dir / "tree");
  ASSERT_TRUE(tree.ok());
  EXPECT_EQ(platform->Describe(tree.value).value.type, EntryType::Directory);

  // The tree is swapped for a link to another folder while it is open.
  ASSERT_EQ(::rename((dir / "tree").c_str(), (dir / "moved").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "tree").c_str()), 0);

  for (int i = 0; i < 2; ++i) {  // every listing starts from the beginning
    const auto names = platform->ReadFolder(tree.value);
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(names.value, std::vector<std::string>{"a"});
  }
  EXPECT_EQ(platform->Lookup(tree.value, "a").value.size, 11u);
  EXPECT_EQ(platform->Unlink(tree.value, "a"), 0);
  EXPECT_FALSE(Exists(dir / "moved/a"));
  EXPECT_EQ(ReadFile(dir / "elsewhere/a"), "not in the tree");

  ASSERT_EQ(::mkdir((dir / "moved/sub").c_str(), 0700), 0);
  EXPECT_EQ(platform->RemoveFolder(tree.value, "sub"), 0);
  EXPECT_FALSE(Exists(dir / "moved/sub"));
  EXPECT_EQ(platform->Close(tree.value), 0);
}

TEST_P(PlatformContractTest, RemoveFolderTakesEmptyFoldersOnly) {
  ASSERT_EQ(::mkdir((dir / "full").c_str(), 0700), 0);
  WriteFile(dir / "full/x", "x");
  ASSERT_EQ(::symlink((dir / "full").c_str(), (dir / "link").c_str()), 0);
  EXPECT_EQ(platform->RemoveFolder(kCurrentFolder, dir / "full"), ENOTEMPTY);
  EXPECT_EQ(platform->RemoveFolder(kCurrentFolder, dir / "link"), ENOTDIR);
  EXPECT_TRUE(Exists(dir / "link"));
}

INSTANTIATE_TEST_SUITE_P(Backends, PlatformContractTest,
                         ::testing::Values(Factory([] { return MakePosixPlatform(); }), Factory([] {
                                             return std::make_shared<RecordingPlatform>();
                                           })),
                         [](const auto& info) { return info.index == 0 ? "Posix" : "Recording"; });

TEST(SystemErrorTextTest, WordsErrnoValuesWithoutLineBreaks) {
  EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
  EXPECT_EQ(SystemErrorText(ECANCELED), "Operation canceled");
  EXPECT_EQ(SystemErrorText(987654), "");
}

}  // namespace
}  // namespace purgewell::testing
