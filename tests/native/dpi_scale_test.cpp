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
  const struct {
    int edge;
    Rect shown, hidden;
    int x, y, dx, dy, fits;  // on the strip, a step inwards; groups shown
    Place list;
  } rows[] = {
      {kEdgeLeft, {-800, 80, -680, 700}, {-918, 80, -798, 700}, -800, 400, 3, 0, 8, {150, 70}},
      {kEdgeTop, {-800, 80, 0, 170}, {-800, 12, 0, 102}, -400, 100, 0, 3, 7, {150, 70}},
      {kEdgeRight, {-120, 80, 0, 700}, {-2, 80, 118, 700}, -1, 400, -3, 0, 8, {-536, 70}},
      {kEdgeBottom, {-800, 610, 0, 700}, {-800, 678, 0, 768}, -400, 699, 0, -3, 7, {150, -502}},
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
