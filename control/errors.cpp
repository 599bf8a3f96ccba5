#include "errors.h"

#include <cstring>
#include <string_view>

namespace purgewell {

std::string SystemErrorText(int code) {
  char buffer[256];
  // GNU strerror_r may return a static text instead of filling the buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  std::string_view view(text ? text : "");
  if (view.starts_with("Unknown error")) return {};
  return std::string(view);
}

}  // namespace purgewell
