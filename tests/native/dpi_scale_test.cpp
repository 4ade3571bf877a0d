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
}

// The four edges of an 800x600 monitor at -800,100 with neighbours all round: the shown and the
// hidden window, the strip whose pixels show the hidden bar (a step inwards or onto the
// neighbour misses it), the slot groups that fit and the enlarged list towards the inside.
TEST(DockEdges, RightAndBottomMirrorLeftAndTopOnTheBarsOwnMonitor) {
  const Monitor monitor{{-800, 100, 0, 700}, 96};
  const Rect column{0, 0, 120, 550}, row{0, 0, 50, 90};
  // The edge, the shown and hidden window, a point on the strip and a step inwards, the groups
  // shown, and the list.
  const std::tuple<int, Rect, Rect, int, int, int, int, int, Place> rows[] = {
      {kEdgeLeft, {-800, 80, -680, 700}, {-918, 80, -798, 700}, -800, 400, 3, 0, 8, {150, 70}},
      {kEdgeTop, {-800, 80, 0, 170}, {-800, 12, 0, 102}, -400, 100, 0, 3, 7, {150, 70}},
      {kEdgeRight, {-120, 80, 0, 700}, {-2, 80, 118, 700}, -1, 400, -3, 0, 8, {-536, 70}},
      {kEdgeBottom, {-800, 610, 0, 700}, {-800, 678, 0, 768}, -400, 699, 0, -3, 7, {150, -502}},
  };
  for (const auto& [edge, shown, hiddenAt, x, y, dx, dy, fits, list] : rows) {
    SCOPED_TRACE(edge);
    const bool inRow = ShapeOf(edge) == Shape::kTop;
    EXPECT_TRUE(WindowOverClaim(ProposeClaim(edge, inRow ? row : column, false, monitor), 96) ==
                shown);
    const Rect hidden =
        WindowOverClaim(ProposeClaim(edge, inRow ? row : column, true, monitor), 96);
    EXPECT_TRUE(hidden == hiddenAt);
    EXPECT_EQ(DecideHit({true, true, true, CursorOnBar(hidden, monitor, x, y)}), HitAction::kShow);
    EXPECT_FALSE(CursorOnBar(hidden, monitor, x + dx, y + dy)) << "a step inwards";
    EXPECT_FALSE(CursorOnBar(hidden, monitor, x - dx / 3, y - dy / 3)) << "the neighbour";
    EXPECT_EQ(ShownSlotCount(ShapeOf(edge), inRow ? 800 : 600, false), fits);
    const Place got = PlaceAtEdge(edge, kExpandedComboPlace, inRow ? 794 : 114, inRow ? 68 : 598);
    EXPECT_TRUE((got == Place{list.x, list.y, 500, 500}));
  }
}
