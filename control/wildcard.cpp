#include "wildcard.h"

namespace purgewell {
namespace {

char Fold(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Iterative glob match with backtracking to the last star: linear in practice,
// never exponential.
bool Glob(std::string_view name, std::string_view pattern) {
  size_t n = 0, p = 0;
  size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern.empty() || pattern == "*" || pattern == "*.*") return true;
  if (Glob(name, pattern)) return true;
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos) {
    return Glob(name, pattern.substr(0, pattern.size() - 2));
  }
  return false;
}

}  // namespace purgewell
