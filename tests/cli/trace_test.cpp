// The command line's trace lines and progress arithmetic.
#include "trace.h"

#include <gtest/gtest.h>

#include "typelib.h"

namespace purgewell::cli {
namespace {

TEST(TraceLineTest, EventsAreNamedAndKeyedAsTheInterfaceNamesThem) {
  struct Case {
    int32_t id;
    std::vector<Variant> args;
    std::string line;
  };
  const Case cases[] = {
      {EVENTID_ONFILEDELETEPROGRESS,
       {Variant::Long(1), Variant::Long(0), Variant::Long(3), Variant::Text("/tmp/x/a")},
       R"({"event":"OnFileDeleteProgress","lBytesProcessed":1,"lTotalFileSize":0,)"
       R"("lCurrentPassNumber":3,"sFileName":"/tmp/x/a"})"},
      {EVENTID_ONERROR,
       {Variant::Long(2), Variant::Text("No such file or directory")},
       R"({"event":"OnError","lErrorCode":2,"sErrorDescription":"No such file or directory"})"},
      {EVENTID_ONFILEDELETED,
       {Variant::Text("/a")},
       R"({"event":"OnFileDeleted","sFileName":"/a"})"},
      {EVENTID_ONDIRECTORYDELETED,
       {Variant::Text("/d")},
       R"({"event":"OnDirectoryDeleted","sDirectoryName":"/d"})"},
      {EVENTID_ONFREESPACEWIPEPROGRESS,
       {Variant::Text("/mnt"), Variant::Long(5), Variant::Long(10), Variant::Long(200)},
       R"({"event":"OnFreeSpaceWipeProgress","sDrive":"/mnt","lPercentage":5,)"
       R"("lKBCleared":10,"lTotalFreeSpaceKB":200})"},
  };
  for (const Case& c : cases) EXPECT_EQ(TraceLine(c.id, c.args), c.line);
}

TEST(TraceLineTest, NamesAreEscapedForJson) {
  EXPECT_EQ(JsonString("a\"b\\c\nd\te\x01"), R"("a\"b\\c\nd\te\u0001")");
  EXPECT_EQ(JsonString("caf\xc3\xa9"), "\"caf\xc3\xa9\"");
}

TEST(Unwrap32Test, WidensCountsPastFourGibibytes) {
  const uint64_t four_gib = uint64_t{1} << 32;
  EXPECT_EQ(Unwrap32(0, 100), 100u);
  EXPECT_EQ(Unwrap32(four_gib - 10, 5), four_gib + 5);
  EXPECT_EQ(Unwrap32(four_gib + 5, 65536 + 5), four_gib + 65536 + 5);
  EXPECT_EQ(Unwrap32(four_gib + 65536, 65536), four_gib + 65536);  // repeated report
}

}  // namespace
}  // namespace purgewell::cli

namespace purgewell::cli {
namespace {

std::string Contents(FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string out;
  char buffer[1024];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) out.append(buffer, n);
  return out;
}

TEST(ConsoleEventsTest, ProgressArrivingAfterItsFileEndedIsNotShown) {
  FILE* progress = std::tmpfile();
  FILE* errors = std::tmpfile();
  ConsoleEvents console(nullptr, progress, errors);
  console.BeginFile("/x/a", 11);
  auto step = [&](int done, int total) {
    console.Invoke(EVENTID_ONFILEDELETEPROGRESS, {Variant::Long(done), Variant::Long(total),
                                                  Variant::Long(3), Variant::Text("/x/a")});
  };
  step(5, 10);
  console.Invoke(EVENTID_ONFILEDELETED, {Variant::Text("/x/a")});
  step(10, 10);  // queued before the end, delivered after it
  console.Invoke(EVENTID_ONERROR, {Variant::Long(2), Variant::Text("No such file or directory")});

  EXPECT_EQ(Contents(progress), "\r/x/a  5 of 10 bytes  50%  (pass 3)\033[K\ndone: /x/a\n");
  EXPECT_EQ(Contents(errors), "purgewell: /x/a: No such file or directory (error 2)\n");
  std::fclose(progress);
  std::fclose(errors);
}

}  // namespace
}  // namespace purgewell::cli
