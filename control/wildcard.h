// The search-pattern rules of folder operations: `*` matches any run of
// characters, `?` exactly one, ASCII letters match without regard to case, and
// "*.*", "*" and the empty pattern match every name, with or without a dot. A
// pattern ending in ".*" also matches the names without a dot that its part
// before ".*" matches ("report.*" matches "report").
#pragma once

#include <string_view>

#include "purgewell_export.h"

namespace purgewell {

PURGEWELL_API bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace purgewell
