#include <algorithm>
#include <vector>

#include "dock/layout.h"
#include "base/bar_ids.h"
#include "tests/win/dock_fixture.h"

using namespace pinnafex;
using namespace dock_test;

using DockLayout = BarTest;

namespace {

RECT ControlRect(HWND bar, int id) {
  return WindowRectOf(GetDlgItem(bar, id));
}
bool Shown(HWND bar, int id) {
  return IsWindowVisible(GetDlgItem(bar, id)) != 0;
}
bool Inside(const RECT& inner, const RECT& outer) {
  RECT both{};
  return IntersectRect(&both, &inner, &outer) && both == inner;
}
bool Overlap(const RECT& a, const RECT& b) {
  RECT both{};
  return IntersectRect(&both, &a, &b) != 0;
}

}  // namespace

TEST_F(DockLayout, ShownGroupsLieInsideTheBarWithoutOverlapping) {
  for (int edge : {kEdgeTop, kEdgeLeft}) {
    for (bool clockHidden : {false, true}) {
      SCOPED_TRACE(testing::Message() << "edge " << edge << ", clock hidden " << clockHidden);
      LayoutBar(bar_, edge, clockHidden, 96);
      RedockBar(bar_, {edge, false, false, 96});
      EXPECT_EQ(WindowRectOf(bar_), edge == kEdgeTop ? kTopShown : kLeftShown);
      RECT visible = WindowRectOf(bar_);  // the bar, its far end cut at the screen's
      visible.right = std::min<LONG>(visible.right, 1024);
      visible.bottom = std::min<LONG>(visible.bottom, 768);
      EXPECT_EQ(Shown(bar_, kClockFrameId), !clockHidden);
      std::vector<RECT> groups;
      if (!clockHidden) groups.push_back(ControlRect(bar_, kClockFrameId));
      for (int id : {kExitButtonId, kClockFieldId}) {
        EXPECT_EQ(Shown(bar_, id), !clockHidden);
        if (!clockHidden) EXPECT_TRUE(Inside(ControlRect(bar_, id), groups[0]));
      }
      int shown = 0;
      for (int slot = 0; slot < kSlotCount; ++slot) {
        const RECT frame = ControlRect(bar_, kSlotFrameIds[slot]);
        const int parts[] = {kPopButtonIds[slot], kPushButtonIds[slot], kSlotComboIds[slot]};
        if (!Shown(bar_, kSlotFrameIds[slot])) {
          // As many groups as fit are shown: the first one left out would not.
          if (shown == slot) EXPECT_FALSE(Inside(frame, visible)) << "slot " << slot;
          for (int id : parts) EXPECT_FALSE(Shown(bar_, id)) << "slot " << slot;
          continue;
        }
        EXPECT_EQ(shown++, slot) << "shown after a hidden one";
        EXPECT_TRUE(Inside(frame, visible)) << "slot " << slot;
        for (const RECT& other : groups) EXPECT_FALSE(Overlap(frame, other)) << "slot " << slot;
        groups.push_back(frame);
        for (int i = 0; i < 3; ++i) {
          EXPECT_TRUE(Shown(bar_, parts[i])) << "slot " << slot;
          EXPECT_TRUE(Inside(ControlRect(bar_, parts[i]), frame)) << "slot " << slot;
          EXPECT_FALSE(Overlap(ControlRect(bar_, parts[i]), ControlRect(bar_, parts[(i + 1) % 3])));
        }
      }
      EXPECT_GT(shown, 0);
    }
  }
}

TEST_F(DockLayout, OpenSlotListIsEnlargedAndPutBackOnceClosed) {
  for (int edge : {kEdgeTop, kEdgeLeft}) {
    SCOPED_TRACE(edge);
    LayoutBar(bar_, edge, false, 96);
    HWND combo = GetDlgItem(bar_, kSlotComboIds[1]);
    const RECT cell = WindowRectOf(combo);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const char* line : {"alpha", "beta"}) {
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_FALSE(ExpandDroppedCombos(bar_, 96));
    RECT dropped{};
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.right - dropped.left, 500) << "the open list is not enlarged";
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 1) << "list not open again";
    EXPECT_FALSE(ExpandDroppedCombos(bar_, 96));  // still open: nothing more

    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_TRUE(ExpandDroppedCombos(bar_, 96)) << "no relayout asked once closed";
    LayoutBar(bar_, edge, false, 96);
    EXPECT_EQ(WindowRectOf(combo), cell);
  }
}
