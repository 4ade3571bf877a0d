#include <gtest/gtest.h>

#include <climits>

#include "dock/dock_rects.h"
#include "dock/layout_table.h"
#include "shell/bar_state.h"

using namespace pinnafex;

TEST(DpiScale, RoundsLikeMulDivAndReadsUnusableDpisAsBase) {
  struct Row {
    long long v;
    int dpi;
    int expected;
  } rows[] = {
      {95, 96, 95},
      {95, 144, 143},
      {-20, 144, -30},
      {-21, 144, -32},
      {1, 120, 1},
      {2, 120, 3},
      {66, 192, 132},
      {-1, 120, -1},
      {95, 0, 95},
      {95, -144, 95},
      {95, 1 << 20, 95},  // unusable: as at 96
      {INT_MAX, 192, INT_MAX},
      {INT_MIN, 192, INT_MIN},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ScaleToDpi(row.v, row.dpi), row.expected) << row.v << " at " << row.dpi;
  }
}

TEST(DpiScale, PlacesKeepTheirNeighboursAndAre96Unchanged) {
  const Place frame = SlotPlace(Shape::kTop, 1, 0);
  EXPECT_EQ(ScalePlace(frame, 96), frame);
  // At 144 the frame of cell 1 starts one scaled pitch on and its sides land where the
  // scaled sides of the 96-DPI place do.
  EXPECT_EQ(ScalePlace(frame, 144), (Place{147, 3, 143, 99}));
  const Place push = ScalePlace(SlotPlace(Shape::kLeft, 2, 2), 144);
  const Place pop = ScalePlace(SlotPlace(Shape::kLeft, 2, 1), 144);
  EXPECT_EQ(push.y, pop.y);
  EXPECT_EQ(push.height, pop.height);
  EXPECT_LT(push.x + push.width, pop.x) << "Push and Pop overlap at 144";
}

TEST(DpiScale, FewerGroupsFitAtHigherDpi) {
  struct Row {
    Shape shape;
    int extent, dpi;
    int withClock, withoutClock;
  } rows[] = {
      {Shape::kTop, 1024, 96, 9, 10},  {Shape::kTop, 1024, 144, 5, 6},
      {Shape::kTop, 1024, 192, 4, 5},  {Shape::kLeft, 768, 144, 6, 7},
      {Shape::kTop, 1536, 144, 9, 10},  // the 96-DPI screen of 1024, scaled
      {Shape::kTop, 100, 192, 1, 1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ShownSlotCount(row.shape, row.extent, false, row.dpi), row.withClock)
        << row.extent << " at " << row.dpi;
    EXPECT_EQ(ShownSlotCount(row.shape, row.extent, true, row.dpi), row.withoutClock)
        << row.extent << " at " << row.dpi;
  }
}

TEST(DpiScale, DockProposalsScaleTheOffsetAndTheStrip) {
  const ScreenSize screen{1024, 768, 144};
  const Rect row{0, 0, 1024, 135};
  const Rect column{0, 0, 180, 768};
  EXPECT_EQ(ProposeDockRect(kEdgeTop, row, false, screen), (Rect{0, -30, 1024, 105}));
  EXPECT_EQ(ProposeDockRect(kEdgeTop, row, true, screen), (Rect{0, -132, 1024, 3}));
  EXPECT_EQ(ProposeDockRect(kEdgeLeft, column, true, screen), (Rect{-177, -30, 3, 768}));
}
