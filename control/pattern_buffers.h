// The three overwrite patterns, made once per process and shared by every
// overwrite of every control: zeros, ones and pseudo-random bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "purgewell_export.h"

namespace purgewell {

class PURGEWELL_API PatternBuffers {
 public:
  static constexpr size_t kSize = 65536;
  static constexpr size_t kCount = 3;
  static constexpr size_t kAlignment = 4096;

  using AlignedAlloc = void* (*)(size_t alignment, size_t size);

  // The process's buffers, made by the first caller. Returns null when memory for
  // them could not be had; the next call tries again. Safe from any thread.
  static const PatternBuffers* Get();

  // Makes a set with `alloc`; null (and nothing kept) when one allocation fails.
  static std::unique_ptr<PatternBuffers> Create(uint32_t seed, AlignedAlloc alloc);

  // Fills `out` from the linear congruential generator seeded with `seed`:
  // state = state * 214013 + 2531011, each byte the low 8 bits of (state >> 16) & 0x7FFF.
  static void FillRandom(uint32_t seed, uint8_t* out, size_t length);

  ~PatternBuffers();
  PatternBuffers(const PatternBuffers&) = delete;
  PatternBuffers& operator=(const PatternBuffers&) = delete;

  // Buffer 0 is all 0x00, 1 all 0xFF, 2 the random bytes; each kSize bytes, page aligned.
  const uint8_t* buffer(size_t index) const { return buffers_[index]; }

 private:
  PatternBuffers() = default;
  uint8_t* buffers_[kCount] = {};
};

}  // namespace purgewell
