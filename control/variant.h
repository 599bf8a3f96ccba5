// The small value type of the dispatch layer: empty, 32-bit integer, BOOL (-1/0)
// or text, and the result codes of a dispatch call.
#pragma once

#include <cstdint>
#include <string>

namespace purgewell {

using HRESULT = int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);
inline constexpr HRESULT CTL_E_SETNOTSUPPORTED = static_cast<HRESULT>(0x800A017Fu);

inline constexpr int16_t VARIANT_TRUE = -1;
inline constexpr int16_t VARIANT_FALSE = 0;

struct Variant {
  enum class Kind { Empty, Long, Bool, Text };

  Kind kind = Kind::Empty;
  int32_t number = 0;  // Long, or Bool as -1/0
  std::string text;    // Text

  static Variant Long(int32_t value) { return {Kind::Long, value, {}}; }
  static Variant Bool(bool value) { return {Kind::Bool, value ? VARIANT_TRUE : VARIANT_FALSE, {}}; }
  static Variant Text(std::string value) { return {Kind::Text, 0, std::move(value)}; }

  bool operator==(const Variant&) const = default;
};

enum class InvokeKind { Method, PropertyGet, PropertyPut };

}  // namespace purgewell
