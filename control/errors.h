// Error values of the engine: errno numbers, worded by the system.
#pragma once

#include <string>

#include "purgewell_export.h"

namespace purgewell {

// The system's message for the errno value `code`, without a trailing line break.
// Codes the system has no message for give the empty text.
PURGEWELL_API std::string SystemErrorText(int code);

// A value or the errno number that explains why there is none.
template <typename T>
struct Result {
  T value{};
  int error = 0;

  bool ok() const { return error == 0; }
  static Result Fail(int code) { return Result{T{}, code}; }
};

}  // namespace purgewell
