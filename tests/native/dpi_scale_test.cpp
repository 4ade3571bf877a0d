#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "dock/dock_rects.h"
#include "dock/hit_rule.h"
#include "dock/layout_table.h"
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

// Every edge of a monitor away from 0,0 (800x600 at 1024,100, neighbours all round): the shown
// and hidden window, the strip a cursor shows the hidden bar from, the slot groups that fit and
// the enlarged list beside the bar towards the monitor's inside.
TEST(DockEdges, RightAndBottomMirrorLeftAndTopOnTheBarsOwnMonitor) {
  const Monitor monitor{{1024, 100, 1824, 700}, 96};
  const struct {
    int edge;
    Rect window, shown, hidden;
    int stripX, stripY;  // on the strip; one step further in, and one out, miss it
    int stepX, stepY;
    int fits;
    Place list;
  } rows[] = {
      {kEdgeLeft,
       {0, 0, 120, 550},
       {1024, 80, 1144, 700},
       {906, 80, 1026, 700},
       1024,
       400,
       3,
       0,
       8,
       {150, 70, 500, 500}},
      {kEdgeTop,
       {0, 0, 50, 90},
       {1024, 80, 1824, 170},
       {1024, 12, 1824, 102},
       1400,
       100,
       0,
       3,
       7,
       {150, 70, 500, 500}},
      {kEdgeRight,
       {0, 0, 120, 550},
       {1704, 80, 1824, 700},
       {1822, 80, 1942, 700},
       1823,
       400,
       -3,
       0,
       8,
       {-536, 70, 500, 500}},
      {kEdgeBottom,
       {0, 0, 50, 90},
       {1024, 610, 1824, 700},
       {1024, 678, 1824, 768},
       1400,
       699,
       0,
       -3,
       7,
       {150, -502, 500, 500}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.edge);
    const int thickness = BarThickness(row.edge, row.window, monitor.dpi);
    const Rect claim = ProposeClaim(row.edge, row.window, false, monitor);
    EXPECT_TRUE(WindowOverClaim(claim, monitor.dpi) == row.shown);
    EXPECT_TRUE(KeepThickness(row.edge, claim, thickness) == claim);
    const Rect hidden = WindowOverClaim(ProposeClaim(row.edge, row.window, true, monitor), 96);
    EXPECT_TRUE(hidden == row.hidden);
    HitInputs in{true, true, true, CursorOnBar(hidden, monitor, row.stripX, row.stripY)};
    EXPECT_EQ(DecideHit(in), HitAction::kShow);
    EXPECT_FALSE(CursorOnBar(hidden, monitor, row.stripX + row.stepX, row.stripY + row.stepY));
    EXPECT_FALSE(
        CursorOnBar(hidden, monitor, row.stripX - row.stepX / 3, row.stripY - row.stepY / 3))
        << "the neighbouring monitor";
    const bool inRow = ShapeOf(row.edge) == Shape::kTop;
    EXPECT_EQ(ShownSlotCount(ShapeOf(row.edge), inRow ? 800 : 600, false), row.fits);
    EXPECT_TRUE(PlaceAtEdge(row.edge, kExpandedComboPlace, inRow ? 794 : 114, inRow ? 68 : 598) ==
                row.list);
  }
}
