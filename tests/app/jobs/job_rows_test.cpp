// Size and count texts, column widths and the per-extension image cache.
#include "job_rows.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace corvane::testing {
namespace {

TEST(FormatSizeTest, Table) {
  struct Case {
    uint64_t bytes;
    const char* c;
    const char* german;
  };
  const Case cases[] = {
      {0, "0 Bytes", "0 Bytes"},
      {1023, "1023 Bytes", "1023 Bytes"},
      {1024, "1.00 KB", "1,00 KB"},
      {1572864, "1.50 MB", "1,50 MB"},
      {1073741824, "1.00 GB", "1,00 GB"},
      {5000ull * 1073741824ull, "5000.00 GB", "5000,00 GB"},  // no grouping
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatSize(c.bytes, QLocale::c()), c.c);
    EXPECT_EQ(FormatSize(c.bytes, QLocale(QLocale::German, QLocale::Germany)), c.german);
  }
}

TEST(FormatItemCountTest, Table) {
  struct Case {
    int rows;
    const char* english;
    const char* german;
  };
  const Case cases[] = {{0, "0 Items", "0 Items"},
                        {1, "1 Item", "1 Item"},
                        {2, "2 Items", "2 Items"},
                        {1000, "1,000 Items", "1.000 Items"},
                        {1000000, "1,000,000 Items", "1.000.000 Items"}};
  for (const Case& c : cases) {
    EXPECT_EQ(FormatItemCount(c.rows, QLocale(QLocale::English, QLocale::UnitedStates)), c.english);
    EXPECT_EQ(FormatItemCount(c.rows, QLocale(QLocale::German, QLocale::Germany)), c.german);
  }
}

TEST(JobColumnWidthsTest, IntegerShares) {
  EXPECT_EQ(JobColumnWidths(1000), (ColumnWidths{500, 142, 166, 166}));
  EXPECT_EQ(JobColumnWidths(0), (ColumnWidths{0, 0, 0, 0}));
}

TEST(JobRowsTest, RowsCarryTheirSizeAndImage) {
  TempDir dir;
  purgewell::testing::WriteFile(dir / "a.doc", std::string(1024, 'x'));
  purgewell::testing::WriteFile(dir / "b.DOC", "x");
  purgewell::testing::WriteFile(dir / "page.html", "x");
  purgewell::testing::WriteFile(dir / "README", "x");
  JobModel model;
  const int before = model.icons().count();
  for (const char* name : {"a.doc", "b.DOC", "page.html", "README"})
    AddFileRow(model, Q(dir / name));
  AddFolderRow(model, Q(dir.path()), "*.*", "Yes");

  EXPECT_EQ(model.row(0).SizeText, "1.00 KB");
  EXPECT_EQ(model.row(1).SizeText, "1 Bytes");
  EXPECT_GT(model.row(0).icon, 2);
  EXPECT_EQ(model.row(0).icon, model.row(1).icon);  // one image per extension
  EXPECT_EQ(model.row(2).icon, 2);                  // four letters: the plain document
  EXPECT_EQ(model.row(3).icon, 2);
  EXPECT_EQ(model.icons().count(), before + 1);
  EXPECT_EQ(model.row(4).SizeText, "N/A");
  EXPECT_EQ(model.row(4).icon, 1);
}

TEST(JobRowsTest, ExistenceAndSizeLookAtTheEntryItself) {
  TempDir dir;
  purgewell::testing::WriteFile(dir / "f", "12345");
  EXPECT_TRUE(ItemExists(ItemKind::File, Q(dir / "f")));
  EXPECT_FALSE(ItemExists(ItemKind::File, Q(dir.path())));
  EXPECT_TRUE(ItemExists(ItemKind::Folder, Q(dir.path())));
  EXPECT_FALSE(ItemExists(ItemKind::Folder, Q(dir / "none")));
  EXPECT_FALSE(ItemExists(ItemKind::File, ""));
  EXPECT_EQ(FileSizeOf(Q(dir / "f")), 5u);
  EXPECT_EQ(FileSizeOf(Q(dir / "none")), 0u);
}

TEST(JobRowsTest, SplitPath) {
  QString folder = "unchanged";
  EXPECT_EQ(SplitPath("/home/me/a.txt", folder), "a.txt");
  EXPECT_EQ(folder, "/home/me/");
  folder = "unchanged";
  EXPECT_EQ(SplitPath("a.txt", folder), "");
  EXPECT_EQ(folder, "unchanged");
}

}  // namespace
}  // namespace corvane::testing
