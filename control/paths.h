// Path texts as the engine builds them: a folder, one slash, a name.
#pragma once

#include <string>

namespace purgewell {

inline std::string JoinPath(const std::string& folder, const std::string& name) {
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace purgewell
