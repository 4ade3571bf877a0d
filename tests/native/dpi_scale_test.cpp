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

// The four edges of an 800x600 monitor at 1024,100 with neighbours all round: the shown and the
// hidden window, the strip whose pixels show the hidden bar (a step inwards or onto the
// neighbour misses it), the slot groups that fit and the enlarged list towards the inside.
TEST(DockEdges, RightAndBottomMirrorLeftAndTopOnTheBarsOwnMonitor) {
  const Monitor monitor{{1024, 100, 1824, 700}, 96};
  const Rect column{0, 0, 120, 550}, row{0, 0, 50, 90};
  const struct {
    int edge;
    Rect shown, hidden;
    int x, y, dx, dy, fits;  // on the strip, a step inwards; groups shown
    Place list;
  } rows[] = {
      {kEdgeLeft, {1024, 80, 1144, 700}, {906, 80, 1026, 700}, 1024, 400, 3, 0, 8, {150, 70}},
      {kEdgeTop, {1024, 80, 1824, 170}, {1024, 12, 1824, 102}, 1400, 100, 0, 3, 7, {150, 70}},
      {kEdgeRight, {1704, 80, 1824, 700}, {1822, 80, 1942, 700}, 1823, 400, -3, 0, 8, {-536, 70}},
      {kEdgeBottom,
       {1024, 610, 1824, 700},
       {1024, 678, 1824, 768},
       1400,
       699,
       0,
       -3,
       7,
       {150, -502}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.edge);
    const bool inRow = ShapeOf(r.edge) == Shape::kTop;
    EXPECT_TRUE(WindowOverClaim(ProposeClaim(r.edge, inRow ? row : column, false, monitor), 96) ==
                r.shown);
    const Rect hidden =
        WindowOverClaim(ProposeClaim(r.edge, inRow ? row : column, true, monitor), 96);
    EXPECT_TRUE(hidden == r.hidden);
    EXPECT_EQ(DecideHit({true, true, true, CursorOnBar(hidden, monitor, r.x, r.y)}),
              HitAction::kShow);
    EXPECT_FALSE(CursorOnBar(hidden, monitor, r.x + r.dx, r.y + r.dy)) << "a step inwards";
    EXPECT_FALSE(CursorOnBar(hidden, monitor, r.x - r.dx / 3, r.y - r.dy / 3)) << "the neighbour";
    EXPECT_EQ(ShownSlotCount(ShapeOf(r.edge), inRow ? 800 : 600, false), r.fits);
    const Place list =
        PlaceAtEdge(r.edge, kExpandedComboPlace, inRow ? 794 : 114, inRow ? 68 : 598);
    EXPECT_TRUE((list == Place{r.list.x, r.list.y, 500, 500}));
  }
}
