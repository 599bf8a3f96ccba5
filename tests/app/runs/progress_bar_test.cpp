// The progress bar: position and the plain flat look.
#include "progress_bar.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(ProgressBarTest, PositionAndPlainLook) {
  ProgressBarEx bar;
  bar.SetPosition(42);
  EXPECT_EQ(bar.Position(), 42);
  bar.SetPosition(130);  // above 100 where the free-space wipe says so
  EXPECT_EQ(bar.Position(), 130);
  bar.SetPlain(true);
  EXPECT_TRUE(bar.IsPlain());
  EXPECT_TRUE(bar.styleSheet().contains("#28d22b"));
  bar.SetPlain(false);
  EXPECT_TRUE(bar.styleSheet().isEmpty());
}

}  // namespace
}  // namespace corvane
