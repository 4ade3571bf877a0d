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

// The four edges of an 800x600 monitor at -800,100 with neighbours all round, a 40-pixel bar at
// the same edge and a 60-pixel one at the next edge (the shell grants the side they leave): the
// shown and hidden window, the strip whose pixels show the hidden bar (a step inwards, onto the
// other bar or the neighbour misses it), the groups that fit the granted length, the list.
TEST(DockEdges, RightAndBottomMirrorLeftAndTopBesideOtherBars) {
  const Monitor monitor{{-800, 100, 0, 700}, 96};
  const Rect column{0, 0, 120, 550}, row{0, 0, 50, 90};
  // The edge, the shown and hidden window, a point on the strip and a step inwards, the groups
  // shown, and the list.
  const std::tuple<int, Rect, Rect, int, int, int, int, int, Place> rows[] = {
      {kEdgeLeft, {-760, 140, -640, 700}, {-878, 140, -758, 700}, -760, 400, 3, 0, 7, {150, 70}},
      {kEdgeTop, {-800, 120, -60, 210}, {-800, 52, -60, 142}, -400, 140, 0, 3, 6, {150, 70}},
      {kEdgeRight, {-160, 80, -40, 640}, {-42, 80, 78, 640}, -41, 400, -3, 0, 7, {-536, 70}},
      {kEdgeBottom, {-740, 570, 0, 660}, {-740, 638, 0, 728}, -400, 659, 0, -3, 6, {150, -502}},
  };
  for (const auto& [edge, shown, hiddenAt, x, y, dx, dy, fits, list] : rows) {
    SCOPED_TRACE(edge);
    const bool inRow = ShapeOf(edge) == Shape::kTop;
    const Rect window = inRow ? row : column, m = monitor.rect;
    Rect free = KeepThickness((edge + 2) % 4, m, LengthAlong((edge + 1) % 4, m) - 40);
    free = KeepThickness((edge + 3) % 4, free, LengthAlong(edge, free) - 60);
    const Rect granted = ProposeClaim(edge, window, {free, 96});
    const Monitor area{AreaBeside(edge, m, granted), 96};
    EXPECT_TRUE(WindowOverClaim(granted, 96) == shown);
    const Rect hidden = WindowOverClaim(HideClaim(edge, granted, 96), 96);
    EXPECT_TRUE(hidden == hiddenAt);
    for (const auto& [ax, ay] : {std::pair{dx, dy}, {-dx, -dy}, {dy, dx}}) {  // a slide's start
      const Rect at{hidden.left + ax, hidden.top + ay, hidden.right + ax, hidden.bottom + ay};
      EXPECT_TRUE(SlideFrom(edge, at, shown, hidden) == (ax == dx && ay == dy ? at : shown));
    }
    EXPECT_EQ(DecideHit({true, true, true, CursorOnBar(hidden, area, x, y)}), HitAction::kShow);
    EXPECT_FALSE(CursorOnBar(hidden, area, x + dx, y + dy)) << "a step inwards";
    EXPECT_FALSE(CursorOnBar(hidden, area, x - dx / 3, y - dy / 3)) << "the other bar";
    EXPECT_FALSE(CursorOnBar(hidden, {m, 96}, x - dx * 14, y - dy * 14)) << "the neighbour";
    EXPECT_EQ(ShownSlotCount(ShapeOf(edge), LengthAlong(edge, area.rect), false), fits);
    const Place got = PlaceAtEdge(edge, kExpandedComboPlace, inRow ? 794 : 114, inRow ? 68 : 598);
    EXPECT_TRUE((got == Place{list.x, list.y, 500, 500}));
  }
}
