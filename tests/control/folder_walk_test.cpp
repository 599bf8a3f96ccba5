// Folder trees and patterns: which entries are shredded, in which order, what
// is removed, and that nothing outside the tree is touched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "test_support.h"

namespace purgewell::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

void MakeDir(const std::string& path) {
  ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path;
}

class FolderWalkTest : public ::testing::Test {
 protected:
  void DeleteDirectory(const std::string& folder, uint32_t passes = 1) {
    rig.engine.Passes = passes;
    rig.engine.RunDeleteDirectory(folder);
  }
  void DeleteFiles(const std::string& folder, const std::string& pattern, bool include) {
    rig.engine.Passes = 1;
    rig.engine.RunDeleteFiles(folder, pattern, include);
  }

  TempDir dir;
  EngineRig rig;
};

TEST_F(FolderWalkTest, FilesOfALevelComeFirstThenEachSubFolderThenTheFolder) {
  const std::string tree = dir / "tree";
  MakeDir(tree);
  MakeDir(tree + "/s");
  WriteFile(tree + "/a.txt", "aaa");
  WriteFile(tree + "/b.txt", "bbb");
  WriteFile(tree + "/s/c.txt", "ccc");

  DeleteDirectory(tree);

  const auto outcomes = rig.Outcomes();
  ASSERT_EQ(outcomes.size(), 5u);
  EXPECT_THAT(
      std::vector<std::string>(outcomes.begin(), outcomes.begin() + 2),
      UnorderedElementsAre("FileDeleted " + tree + "/a.txt", "FileDeleted " + tree + "/b.txt"));
  EXPECT_THAT(std::vector<std::string>(outcomes.begin() + 2, outcomes.end()),
              ElementsAre("FileDeleted " + tree + "/s/c.txt", "DirectoryDeleted " + tree + "/s",
                          "DirectoryDeleted " + tree));
  EXPECT_TRUE(rig.Succeeded());
  EXPECT_THAT(ListNames(dir.path()), IsEmpty());
}

TEST_F(FolderWalkTest, MissingFolderReportsOnlyItsRemoval) {
  DeleteDirectory(dir / "missing");
  EXPECT_THAT(rig.Events(), ElementsAre("Error 2", "DirectoryDeleted " + (dir / "missing")));
  EXPECT_FALSE(rig.Succeeded());
}

TEST_F(FolderWalkTest, RelativeFolderGivesAbsolutePaths) {
  MakeDir(dir / "rel");
  WriteFile(dir / "rel/x", "x");
  char previous[4096];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  DeleteDirectory("rel/");
  ASSERT_EQ(::chdir(previous), 0);

  EXPECT_THAT(rig.Outcomes(),
              ElementsAre("FileDeleted " + (dir / "rel/x"), "DirectoryDeleted " + (dir / "rel")));
}

TEST_F(FolderWalkTest, RootIsRefusedAndNothingIsTouched) {
  for (const std::string& root : {std::string("/"), std::string("//"), std::string("/tmp/..")}) {
    SCOPED_TRACE(root);
    EngineRig fresh;
    fresh.engine.RunDeleteDirectory(root);
    EXPECT_THAT(fresh.Events(), ElementsAre("Error " + std::to_string(EPERM)));
    EXPECT_FALSE(fresh.platform->Called("list"));
    EXPECT_FALSE(fresh.platform->Called("rmdir"));
    EXPECT_FALSE(fresh.platform->Called("unlink"));
  }
}

TEST_F(FolderWalkTest, DeleteFilesOnAMissingFolderDoesNothing) {
  DeleteFiles(dir / "missing", "*.doc", true);
  EXPECT_THAT(rig.Events(), IsEmpty());
  EXPECT_TRUE(rig.Succeeded());
}

// a.doc, b.txt, NOEXT, sub/c.doc, sub/deeper/d.DOC, old.doc/e.doc, old.doc/f.txt
class PatternTreeTest : public FolderWalkTest {
 protected:
  void SetUp() override {
    MakeDir(root);
    MakeDir(root + "/sub");
    MakeDir(root + "/sub/deeper");
    MakeDir(root + "/old.doc");
    for (const char* f : {"a.doc", "b.txt", "NOEXT", "sub/c.doc", "sub/deeper/d.DOC",
                          "old.doc/e.doc", "old.doc/f.txt"}) {
      WriteFile(root + "/" + f, "content");
    }
  }
  std::set<std::string> Shredded() const {
    std::set<std::string> out;
    for (const std::string& e : rig.Outcomes()) {
      if (e.rfind("FileDeleted ", 0) == 0) out.insert(e.substr(12 + root.size() + 1));
    }
    return out;
  }
  const std::string root = dir / "docs";
};

TEST_F(PatternTreeTest, TopLevelOnly) {
  DeleteFiles(root, "*.doc", false);
  EXPECT_EQ(Shredded(), (std::set<std::string>{"a.doc"}));
  EXPECT_TRUE(Exists(root + "/old.doc/e.doc"));
  EXPECT_TRUE(Exists(root + "/sub/c.doc"));
}

TEST_F(PatternTreeTest, WithSubFoldersWhateverTheirNames) {
  DeleteFiles(root, "*.doc", true);
  EXPECT_EQ(Shredded(),
            (std::set<std::string>{"a.doc", "sub/c.doc", "sub/deeper/d.DOC", "old.doc/e.doc"}));
  EXPECT_THAT(rig.Outcomes(), ::testing::Each(::testing::StartsWith("FileDeleted")));
  EXPECT_TRUE(Exists(root + "/sub/deeper"));  // folders stay, even empty ones
  EXPECT_TRUE(Exists(root + "/old.doc/f.txt"));
  EXPECT_TRUE(Exists(root + "/b.txt"));
}

TEST_F(PatternTreeTest, EmptyPatternMatchesEveryNameAlsoWithoutADot) {
  DeleteFiles(root, "", false);
  EXPECT_EQ(Shredded(), (std::set<std::string>{"a.doc", "b.txt", "NOEXT"}));
}

TEST_F(FolderWalkTest, CancellationFailsTheRestOfTheTreeButTheWalkEnds) {
  const std::string tree = dir / "tree";
  MakeDir(tree);
  MakeDir(tree + "/s");
  WriteFile(tree + "/s/full.bin", std::string(1000, 'f'));
  WriteFile(tree + "/s/empty.bin", "");
  rig.target->onRaise = [&](const Event&) { rig.engine.CancelFlag = true; };
  WriteFile(tree + "/first.bin", "1");  // the first file shredded sets the flag

  DeleteDirectory(tree);

  const auto outcomes = rig.Outcomes();
  const std::string c = "Error " + std::to_string(ECANCELED);
  // s/full.bin: two errors and its end; s/empty.bin: gone without a write;
  // s cannot go, nor can the tree.
  EXPECT_THAT(outcomes, ::testing::Contains("FileDeleted " + tree + "/s/empty.bin"));
  EXPECT_THAT(outcomes,
              ::testing::IsSupersetOf(
                  {c, "FileDeleted " + tree + "/s/full.bin", "Error " + std::to_string(ENOTEMPTY),
                   "DirectoryDeleted " + tree + "/s", "DirectoryDeleted " + tree}));
  EXPECT_EQ(ReadFile(tree + "/s/full.bin"), std::string(1000, 'f'));
  EXPECT_FALSE(Exists(tree + "/s/empty.bin"));
  EXPECT_FALSE(rig.Succeeded());
}

TEST_F(FolderWalkTest, ReadOnlyFileKeepsItsFoldersAndFailsTheOperation) {
  const std::string tree = dir / "tree";
  MakeDir(tree);
  MakeDir(tree + "/s");
  WriteFile(tree + "/s/locked.txt", "locked");
  ASSERT_EQ(::chmod((tree + "/s/locked.txt").c_str(), 0444), 0);
  for (const std::string& d : {dir.path(), tree, tree + "/s"}) ::chmod(d.c_str(), 0777);

  const int outcome = AsUnprivilegedUser([&] {
    EngineRig r;
    r.engine.Passes = 1;
    r.engine.RunDeleteDirectory(tree);
    const std::vector<std::string> expected = {
        "Error " + std::to_string(EACCES),    "FileDeleted " + tree + "/s/locked.txt",
        "Error " + std::to_string(ENOTEMPTY), "DirectoryDeleted " + tree + "/s",
        "Error " + std::to_string(ENOTEMPTY), "DirectoryDeleted " + tree};
    return r.Outcomes() == expected && !r.Succeeded() ? 0 : 1;
  });
  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(ReadFile(tree + "/s/locked.txt"), "locked");
}

TEST_F(FolderWalkTest, CopyOnWriteFileIsDeletedButReportedAsNotSecurelyDestroyed) {
  rig.platform->storage = StorageInfo{0x9123683E, true, 0};  // btrfs, copy-on-write
  const std::string path = dir / "cow.bin";
  WriteFile(path, "secret");
  rig.engine.Passes = 1;
  rig.engine.RunDeleteFile(path);

  EXPECT_THAT(rig.Outcomes(),
              ElementsAre("Error " + std::to_string(EOPNOTSUPP), "FileDeleted " + path));
  EXPECT_THAT(rig.target->events[rig.target->events.size() - 2].args[1].text,
              ::testing::HasSubstr("wiping the drive's free space"));
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(rig.Succeeded());
}

// Checksums of everything below `folder`, links not followed.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    if (e.is_regular_file() && !e.is_symlink()) out[e.path()] = ReadFile(e.path());
  }
  return out;
}

TEST_F(FolderWalkTest, AdversarialTreeTouchesNothingOutside) {
  const std::string outside = dir / "outside";
  const std::string tree = dir / "tree";
  MakeDir(outside);
  MakeDir(outside + "/deep");
  WriteFile(outside + "/keep.txt", "outside data");
  WriteFile(outside + "/deep/keep2.txt", "more outside data");
  MakeDir(tree);
  MakeDir(tree + "/s");
  WriteFile(tree + "/report.doc", "report");
  WriteFile(tree + "/AAAAAA.AAA", "a scrambled name");
  ASSERT_EQ(::symlink((outside + "/keep.txt").c_str(), (tree + "/file-link").c_str()), 0);
  ASSERT_EQ(::symlink(outside.c_str(), (tree + "/s/folder-link").c_str()), 0);
  ASSERT_EQ(::symlink(tree.c_str(), (tree + "/s/loop").c_str()), 0);
  ASSERT_EQ(::mkfifo((tree + "/pipe").c_str(), 0600), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::mknod((tree + "/null-dev").c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
  }
  const auto before = Snapshot(outside);

  DeleteDirectory(tree);

  EXPECT_EQ(Snapshot(outside), before);
  EXPECT_TRUE(Exists(outside + "/deep"));
  EXPECT_FALSE(Exists(tree));
  EXPECT_TRUE(rig.Succeeded()) << ::testing::PrintToString(rig.Events());
  for (const std::string& call : rig.platform->calls()) {
    EXPECT_EQ(call.find(outside), std::string::npos) << call;
    if (call.rfind("open ", 0) != 0) continue;
    {
      EXPECT_EQ(call.find("pipe"), std::string::npos);
      EXPECT_EQ(call.find("null-dev"), std::string::npos);
    }
  }
  if (!root) GTEST_SKIP() << "the device node case needs root (mknod)";
}

TEST_F(FolderWalkTest, FolderSwappedForALinkDuringTheWalkLeavesTheOutsideAlone) {
  const std::string outside = dir / "outside";
  const std::string tree = dir / "tree";
  MakeDir(outside);
  MakeDir(tree);
  MakeDir(tree + "/s");
  for (const char* name : {"1.txt", "2.txt", "3.txt"}) {
    WriteFile(outside + "/" + name, "outside data");
    WriteFile(tree + "/s/" + name, "tree data");
  }
  // While the first file of s is overwritten, s is moved away and a link to the
  // outside folder takes its name.
  rig.platform->hookWriteNumber = 1;
  rig.platform->hook = [&] {
    ASSERT_EQ(::rename((tree + "/s").c_str(), (dir / "moved").c_str()), 0);
    ASSERT_EQ(::symlink(outside.c_str(), (tree + "/s").c_str()), 0);
  };

  DeleteDirectory(tree);

  for (const char* name : {"1.txt", "2.txt", "3.txt"}) {
    EXPECT_EQ(ReadFile(outside + "/" + name), "outside data") << name;
  }
  EXPECT_THAT(ListNames(dir / "moved"), IsEmpty());  // the folder that was found went empty
  EXPECT_TRUE(Exists(tree + "/s"));                  // the link is no folder to remove
  EXPECT_THAT(rig.Outcomes(), ::testing::Contains("Error " + std::to_string(ENOTDIR)));
  EXPECT_FALSE(rig.Succeeded());
}

TEST_F(FolderWalkTest, PatternWalkLeavesLinksAndSpecialFiles) {
  const std::string tree = dir / "tree";
  MakeDir(tree);
  WriteFile(dir / "target.doc", "target");
  ASSERT_EQ(::symlink((dir / "target.doc").c_str(), (tree + "/link.doc").c_str()), 0);
  ASSERT_EQ(::mkfifo((tree + "/pipe.doc").c_str(), 0600), 0);
  WriteFile(tree + "/real.doc", "real");

  DeleteFiles(tree, "*.doc", true);

  EXPECT_THAT(rig.Outcomes(), ElementsAre("FileDeleted " + tree + "/real.doc"));
  EXPECT_TRUE(Exists(tree + "/link.doc"));
  EXPECT_TRUE(Exists(tree + "/pipe.doc"));
  EXPECT_EQ(ReadFile(dir / "target.doc"), "target");
}

}  // namespace
}  // namespace purgewell::testing
