// The job file format, byte for byte, and how values are read back.
#include "job_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane {
namespace {

JobItem File(const QString& path) {
  return {path, "1 Bytes", "", "", 2, false};
}
JobItem Folder(const QString& path, const QString& mask, const QString& sub) {
  return {path, "N/A", mask, sub, 1, false};
}

TEST(JobFileTest, SevenLineExample) {
  const QByteArray bytes = SerializeJob("N/A", {Folder("/data/P", "*.doc", "Yes"), File("/f/F")});
  EXPECT_EQ(bytes,
            "\"N/A\"\r\n\"[FOLDERS]\"\r\n\"/data/P\"\r\n\"*.doc\"\r\n\"Yes\"\r\n\"[FILES]\"\r\n"
            "\"/f/F\"\r\n");
}

TEST(JobFileTest, EmptyJobIsThreeLines) {
  EXPECT_EQ(SerializeJob("12/11/2026 10:00:00", {}),
            "\"12/11/2026 10:00:00\"\r\n\"[FOLDERS]\"\r\n\"[FILES]\"\r\n");
  const auto read = ParseJob(SerializeJob("12/11/2026 10:00:00", {}));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->lastRun, "12/11/2026 10:00:00");
  EXPECT_TRUE(read->entries.empty());
}

TEST(JobFileTest, FolderItemsAreWrittenBeforeFileItems) {
  const auto read =
      ParseJob(SerializeJob("N/A", {File("/A"), Folder("/B", "*.*", "No"), File("/C")}));
  ASSERT_TRUE(read);
  std::vector<QString> order;
  for (const JobFileEntry& e : read->entries) order.push_back(e.path);
  EXPECT_THAT(order, ::testing::ElementsAre("/B", "/A", "/C"));
  EXPECT_TRUE(read->entries[0].folder);
  EXPECT_EQ(read->entries[0].mask, "*.*");
  EXPECT_EQ(read->entries[0].subFolders, "No");
}

TEST(JobFileTest, ReadingRules) {
  struct Case {
    const char* what;
    QByteArray bytes;
    std::vector<QString> paths;
  };
  const Case cases[] = {
      {"unquoted values up to the first comma",
       "N/A\r\n[FOLDERS]\r\n/dir,ignored\r\n*.txt\r\nYes\r\n[FILES]\r\n/a,b\r\n",
       {"/dir", "/a"}},
      {"a second line that is not the folder header",
       "\"N/A\"\r\n\"whatever\"\r\n\"[FILES]\"\r\n\"/x\"\r\n",
       {"/x"}},
      {"LF line ends", "\"N/A\"\n\"[FOLDERS]\"\n\"[FILES]\"\n\"/y\"\n", {"/y"}},
      {"no files header at all",
       "\"N/A\"\r\n\"[FOLDERS]\"\r\n\"/d\"\r\n\"*.*\"\r\n\"No\"\r\n",
       {"/d"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto read = ParseJob(c.bytes);
    ASSERT_TRUE(read);
    std::vector<QString> paths;
    for (const JobFileEntry& e : read->entries) paths.push_back(e.path);
    EXPECT_EQ(paths, c.paths);
  }
}

TEST(JobFileTest, ContentThatEndsWhereAValueIsDueIsAnError) {
  EXPECT_FALSE(ParseJob(""));
  EXPECT_FALSE(ParseJob("\"N/A\"\r\n"));  // only the first line
  EXPECT_FALSE(ParseJob("\"N/A\"\r\n\"[FOLDERS]\"\r\n\"/d\"\r\n\"*.*\"\r\n"));  // flag missing
}

TEST(JobFileTest, SubFolderValueOtherThanYesOrNoMakesAFileItem) {
  JobItem odd = Folder("/d", "*.*", "yes");
  EXPECT_FALSE(odd.isFolder());
  EXPECT_TRUE(Folder("/d", "*.*", "No").isFolder());
}

TEST(JobFileTest, PathsWithQuotesOrLineBreaksCannotBeKept) {
  EXPECT_TRUE(JobFileCanHold("/home/me/a file.txt"));
  EXPECT_FALSE(JobFileCanHold("/home/me/say \"hi\".txt"));
  EXPECT_FALSE(JobFileCanHold("/home/me/two\nlines"));
  EXPECT_FALSE(JobFileCanHold("/home/me/cr\rname"));
}

}  // namespace
}  // namespace corvane
