// The search-pattern rules.
#include "wildcard.h"

#include <gtest/gtest.h>

namespace purgewell {
namespace {

TEST(MatchesPatternTest, Rules) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"report.doc", "*.doc", true},
      {"REPORT.DOC", "*.doc", true},
      {"report.docx", "*.doc", false},
      {"report.doc.txt", "*.doc", false},
      {"old.doc", "*.doc", true},
      {"doc", "*.doc", false},
      {"README", "*.*", true},
      {"README", "", true},
      {"README", "*", true},
      {".hidden", "*.*", true},
      {"a.txt", "?.txt", true},
      {"ab.txt", "?.txt", false},
      {".txt", "?.txt", false},
      {"data2024.csv", "data*.csv", true},
      {"data.csv", "data*.csv", true},
      {"x.csv", "data*.csv", false},
      {"report", "report.*", true},
      {"report.pdf", "report.*", true},
      {"reports", "report.*", false},
      {"a*b", "a*b", true},
      {"aXXXXXXXXXXXXXXXXXXXXb", "a*a*a*a*a*a*b", false},
      {"\xc3\xa9t\xc3\xa9.doc", "*.DOC", true},  // bytes beyond ASCII compare exactly
      {"\xc3\x89T\xc3\x89.doc", "\xc3\xa9t\xc3\xa9.doc", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
  }
}

}  // namespace
}  // namespace purgewell
