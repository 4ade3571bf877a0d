#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "dock/dock_rects.h"
#include "base/bar_ids.h"

using namespace pinnafex;

// At 96 nothing moves; halves round away from zero; unusable DPIs read as 96.
TEST(DpiScale, RoundsLikeMulDivAndReadsUnusableDpisAsBase) {
  const std::tuple<long long, int, int> rows[] = {
      {95, 96, 95},      {95, 144, 143},          {-21, 144, -32},
      {2, 120, 3},       {-1, 120, -1},           {95, 0, 95},
      {95, 1 << 20, 95}, {INT_MAX, 192, INT_MAX}, {INT_MIN, 192, INT_MIN}};
  for (const auto& [v, dpi, scaled] : rows)
    EXPECT_EQ(ScaleToDpi(v, dpi), scaled) << v << " at " << dpi;
  // The offset above the screen and the hidden strip scale with the screen's DPI.
  EXPECT_TRUE(WindowOverClaim(
                  ProposeClaim(kEdgeLeft, {0, 0, 180, 768}, true, {{0, 0, 1024, 768}, 144}), 144) ==
              (Rect{-177, -30, 3, 768}));
}
