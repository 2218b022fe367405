// The one halving rule, at its bounds.
#include <gtest/gtest.h>

#include "image/halvings.h"

namespace {

using libgr::halvings_to_fit;

TEST(Halvings, CountUntilBothSidesFitTheBox) {
  EXPECT_EQ(halvings_to_fit(6000, 4000, 1600, 1200), 2u);  // 1500 x 1000
  EXPECT_EQ(halvings_to_fit(1600, 1200, 1600, 1200), 0u);  // a box fits itself
  EXPECT_EQ(halvings_to_fit(1601, 10, 1600, 1200), 1u);    // one side is enough
  EXPECT_EQ(halvings_to_fit(10, 4801, 1600, 1200), 2u);    // 2400, then 1200
  EXPECT_EQ(halvings_to_fit(0, 0, 0, 0), 0u);
  // An empty box: down to 0 x 0, which every box holds.
  EXPECT_EQ(halvings_to_fit(5, 1, 0, 0), 3u);
  EXPECT_EQ(halvings_to_fit(ULONG_MAX, ULONG_MAX, 0, 0), sizeof(unsigned long) * 8);
}

TEST(Halvings, BoundsEndTheHalvingEarly) {
  // At most so many halvings (the levels that exist).
  EXPECT_EQ(halvings_to_fit(6000, 4000, 100, 100, {2, 0}), 2u);
  EXPECT_EQ(halvings_to_fit(6000, 4000, 100, 100, {0, 0}), 0u);
  EXPECT_EQ(halvings_to_fit(6000, 4000, 1600, 1200, {5, 0}), 2u);
  // No side below one pixel: a thin picture stops where its short side would vanish.
  EXPECT_EQ(halvings_to_fit(4000, 3, 100, 100, {ULONG_MAX, 1}), 1u);
  EXPECT_EQ(halvings_to_fit(1, 4000, 100, 100, {ULONG_MAX, 1}), 0u);
  EXPECT_EQ(halvings_to_fit(400, 300, 0, 0, {ULONG_MAX, 1}), 8u);  // 1 x 1
}

}  // namespace
