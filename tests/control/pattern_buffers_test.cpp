// The three overwrite patterns.
#include "pattern_buffers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

namespace purgewell {
namespace {

TEST(PatternBuffersTest, ZerosOnesAndAlignedBuffers) {
  const PatternBuffers* p = PatternBuffers::Get();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p, PatternBuffers::Get());  // made once per process
  for (size_t i = 0; i < PatternBuffers::kSize; ++i) {
    ASSERT_EQ(p->buffer(0)[i], 0x00) << i;
    ASSERT_EQ(p->buffer(1)[i], 0xFF) << i;
  }
  for (size_t b = 0; b < 3; ++b) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p->buffer(b)) % 4096, 0u) << b;
  }
}

TEST(PatternBuffersTest, RandomBytesFollowTheLinearCongruentialGenerator) {
  // Seeded with 1 the generator yields 41, 18467, 6334, 26500, 19169, ...
  uint8_t bytes[5];
  PatternBuffers::FillRandom(1, bytes, sizeof bytes);
  EXPECT_EQ(bytes[0], 41);
  EXPECT_EQ(bytes[1], 18467 & 0xFF);
  EXPECT_EQ(bytes[2], 6334 & 0xFF);
  EXPECT_EQ(bytes[3], 26500 & 0xFF);
  EXPECT_EQ(bytes[4], 19169 & 0xFF);

  auto made = PatternBuffers::Create(1, &std::aligned_alloc);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->buffer(2)[0], 41);
  EXPECT_EQ(made->buffer(2)[4], 19169 & 0xFF);
}

int g_allocations = 0;
void* FailOnSecond(size_t alignment, size_t size) {
  return ++g_allocations == 2 ? nullptr : std::aligned_alloc(alignment, size);
}

TEST(PatternBuffersTest, FailedAllocationKeepsNothing) {
  // A leak of the first buffer would show under the leak checker.
  g_allocations = 0;
  EXPECT_EQ(PatternBuffers::Create(7, &FailOnSecond), nullptr);
  EXPECT_EQ(g_allocations, 2);
}

}  // namespace
}  // namespace purgewell
