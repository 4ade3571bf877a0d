#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "dock/dock_rects.h"

using namespace pinnafex;

// At 96 nothing moves; halves round away from zero; unusable DPIs read as 96.
TEST(DpiScale, RoundsLikeMulDivAndReadsUnusableDpisAsBase) {
  const std::tuple<long long, int, int> rows[] = {
      {95, 96, 95},      {95, 144, 143},          {-21, 144, -32},
      {2, 120, 3},       {-1, 120, -1},           {95, 0, 95},
      {95, 1 << 20, 95}, {INT_MAX, 192, INT_MAX}, {INT_MIN, 192, INT_MIN}};
  for (const auto& [v, dpi, scaled] : rows)
    EXPECT_EQ(ScaleToDpi(v, dpi), scaled) << v << " at " << dpi;
}
