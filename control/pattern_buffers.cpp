#include "pattern_buffers.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

namespace purgewell {

PatternBuffers::~PatternBuffers() {
  for (uint8_t* b : buffers_) std::free(b);
}

void PatternBuffers::FillRandom(uint32_t seed, uint8_t* out, size_t length) {
  uint32_t state = seed;
  for (size_t i = 0; i < length; ++i) {
    state = state * 214013u + 2531011u;
    out[i] = static_cast<uint8_t>((state >> 16) & 0x7FFFu);
  }
}

std::unique_ptr<PatternBuffers> PatternBuffers::Create(uint32_t seed, AlignedAlloc alloc) {
  std::unique_ptr<PatternBuffers> set(new PatternBuffers);
  for (uint8_t*& b : set->buffers_) {
    b = static_cast<uint8_t*>(alloc(kAlignment, kSize));
    if (b == nullptr) return nullptr;  // the destructor frees what was allocated
  }
  std::memset(set->buffers_[0], 0x00, kSize);
  std::memset(set->buffers_[1], 0xFF, kSize);
  FillRandom(seed, set->buffers_[2], kSize);
  return set;
}

const PatternBuffers* PatternBuffers::Get() {
  // Kept until the process ends; never freed, so no overwrite can outlive them.
  static std::atomic<const PatternBuffers*> instance{nullptr};
  static std::mutex creating;

  if (const PatternBuffers* ready = instance.load(std::memory_order_acquire)) return ready;
  std::lock_guard lock(creating);
  if (const PatternBuffers* ready = instance.load(std::memory_order_relaxed)) return ready;
  auto made = Create(static_cast<uint32_t>(std::time(nullptr)), &std::aligned_alloc);
  if (!made) return nullptr;
  instance.store(made.release(), std::memory_order_release);
  return instance.load(std::memory_order_relaxed);
}

}  // namespace purgewell
