#include "tests/win/dock_fixture.h"

#include "dock/layout.h"
#include "base/bar_ids.h"

using namespace pinnafex;
using namespace dock_test;

namespace {

// One slot group's expected places: frame, Pop, Push, and the combo's x, y and width (a
// drop-down combo's window is as high as its edit field; the 20 rows include the list).
struct SlotRow {
  int slot;
  ControlPlace frame, pop, push;
  int comboX, comboY, comboWidth;
};

void ExpectSlotPlaces(HWND bar, const SlotRow& row) {
  EXPECT_EQ(PlaceOf(bar, kSlotFrameIds[row.slot]), row.frame) << "slot frame of slot " << row.slot;
  EXPECT_EQ(PlaceOf(bar, kPopButtonIds[row.slot]), row.pop) << "Pop of slot " << row.slot;
  EXPECT_EQ(PlaceOf(bar, kPushButtonIds[row.slot]), row.push) << "Push of slot " << row.slot;
  const ControlPlace combo = PlaceOf(bar, kSlotComboIds[row.slot]);
  EXPECT_EQ(combo.x, row.comboX) << "combo of slot " << row.slot << " at " << combo;
  EXPECT_EQ(combo.y, row.comboY) << "combo of slot " << row.slot << " at " << combo;
  EXPECT_EQ(combo.width, row.comboWidth) << "combo of slot " << row.slot << " at " << combo;
}

// How many slot groups are visible, checking that each group is all visible or all hidden
// and that no visible group follows a hidden one.
int VisibleSlotGroups(HWND bar) {
  int visible = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const bool frame = IsWindowVisible(GetDlgItem(bar, kSlotFrameIds[slot])) != 0;
    EXPECT_EQ(IsWindowVisible(GetDlgItem(bar, kPopButtonIds[slot])) != 0, frame) << slot;
    EXPECT_EQ(IsWindowVisible(GetDlgItem(bar, kPushButtonIds[slot])) != 0, frame) << slot;
    EXPECT_EQ(IsWindowVisible(GetDlgItem(bar, kSlotComboIds[slot])) != 0, frame) << slot;
    if (frame) {
      EXPECT_EQ(visible, slot) << "slot " << slot << " shown after a hidden one";
      ++visible;
    }
  }
  return visible;
}

bool ClockVisible(HWND bar) {
  const bool frame = IsWindowVisible(GetDlgItem(bar, kClockFrameId)) != 0;
  EXPECT_EQ(IsWindowVisible(GetDlgItem(bar, kExitButtonId)) != 0, frame);
  EXPECT_EQ(IsWindowVisible(GetDlgItem(bar, kClockFieldId)) != 0, frame);
  return frame;
}

using Layout = void (*)(HWND);

}  // namespace

using DockLayout = BarTest;

TEST_F(DockLayout, EachShapeDocksAndPlacesItsControls) {
  struct Row {
    const char* what;
    Layout layout;
    int clockHidden;
    RECT bar;
    int edge;
    int visibleSlots;
    ControlPlace clockFrame, exitButton, clockField;
    SlotRow first, last;  // slot 0 and the last one shown
  } rows[] = {
      {"top, clock shown",
       LayoutTop,
       0,
       kTopShown,
       kEdgeTop,
       9,
       {0, 2, 95, 66},
       {10, 16, 80, 23},
       {10, 43, 75, 20},
       {0, {98, 2, 95, 66}, {148, 16, 35, 23}, {108, 16, 35, 23}, 108, 43, 75},
       {8, {882, 2, 95, 66}, {932, 16, 35, 23}, {892, 16, 35, 23}, 892, 43, 75}},
      {"top, clock hidden",
       LayoutTop,
       1,
       kTopShown,
       kEdgeTop,
       10,
       {0, 2, 95, 66},
       {10, 16, 80, 23},
       {10, 43, 75, 20},
       {0, {0, 2, 95, 66}, {50, 16, 35, 23}, {10, 16, 35, 23}, 10, 43, 75},
       {9, {882, 2, 95, 66}, {932, 16, 35, 23}, {892, 16, 35, 23}, 892, 43, 75}},
      {"left, clock shown",
       LayoutLeft,
       0,
       kLeftShown,
       kEdgeLeft,
       10,
       {5, 2, 106, 66},
       {17, 16, 84, 23},
       {17, 43, 86, 20},
       {0, {5, 68, 106, 66}, {62, 82, 38, 23}, {17, 82, 38, 23}, 17, 109, 86},
       {9, {5, 662, 106, 66}, {62, 676, 38, 23}, {17, 676, 38, 23}, 17, 703, 86}},
      // Hidden, the clock group stays at the row's cell-0 place, even in the column.
      {"left, clock hidden",
       LayoutLeft,
       1,
       kLeftShown,
       kEdgeLeft,
       11,
       {0, 2, 95, 66},
       {10, 16, 80, 23},
       {10, 43, 75, 20},
       {0, {5, 2, 106, 66}, {62, 16, 38, 23}, {17, 16, 38, 23}, 17, 43, 86},
       {10, {5, 662, 106, 66}, {62, 676, 38, 23}, {17, 676, 38, 23}, 17, 703, 86}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    gBar.clockHidden = row.clockHidden;
    gBar.edge = 7;  // the layout sets the edge itself
    row.layout(bar_);
    EXPECT_EQ(gBar.edge, row.edge);
    EXPECT_TRUE(SameRect(WindowRectOf(bar_), row.bar)) << "bar at " << Show(WindowRectOf(bar_));
    EXPECT_TRUE(IsWindowVisible(bar_));
    EXPECT_EQ(VisibleSlotGroups(bar_), row.visibleSlots);
    EXPECT_EQ(ClockVisible(bar_), row.clockHidden == 0);
    EXPECT_EQ(PlaceOf(bar_, kClockFrameId), row.clockFrame) << "clock frame";
    EXPECT_EQ(PlaceOf(bar_, kExitButtonId), row.exitButton) << "EXIT button";
    EXPECT_EQ(PlaceOf(bar_, kClockFieldId), row.clockField) << "clock field";
    ExpectSlotPlaces(bar_, row.first);
    ExpectSlotPlaces(bar_, row.last);
  }
}

TEST_F(DockLayout, HiddenSlotGroupsAreStillPlacedInTheirCells) {
  gBar.clockHidden = 0;
  LayoutTop(bar_);
  // Slot 19 sits in cell 20, off the screen and hidden.
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(bar_, kSlotFrameIds[19])));
  ExpectSlotPlaces(bar_,
                   {19, {1960, 2, 95, 66}, {2010, 16, 35, 23}, {1970, 16, 35, 23}, 1970, 43, 75});
  LayoutLeft(bar_);
  ExpectSlotPlaces(bar_,
                   {19, {5, 1322, 106, 66}, {62, 1336, 38, 23}, {17, 1336, 38, 23}, 17, 1363, 86});
}

TEST_F(DockLayout, LayoutMakesTheBarTopmostAgain) {
  for (Layout layout : {LayoutTop, LayoutLeft}) {
    SetWindowPos(bar_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_FALSE(IsTopmost(bar_));
    layout(bar_);
    EXPECT_TRUE(IsTopmost(bar_)) << (layout == LayoutTop ? "top" : "left");
  }
}

TEST_F(DockLayout, OpenSlotListIsEnlargedAndRestoredWhenClosed) {
  struct Row {
    const char* what;
    Layout layout;
    int slot;
    int cellX, cellY, cellWidth;
  } rows[] = {
      {"top, slot 1", LayoutTop, 0, 108, 43, 75},
      {"top, slot 3", LayoutTop, 2, 304, 43, 75},
      {"left, slot 2", LayoutLeft, 1, 17, 175, 86},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.layout(bar_);
    HWND combo = GetDlgItem(bar_, kSlotComboIds[row.slot]);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const char* line : {"alpha", "beta", "gamma"}) {
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 1);

    ExpandDroppedCombos(bar_);
    EXPECT_EQ(gDock.comboExpanded[row.slot], 1);
    const ControlPlace big = PlaceOf(bar_, kSlotComboIds[row.slot]);
    EXPECT_EQ(big.x, 150) << big;
    EXPECT_EQ(big.y, 70) << big;
    EXPECT_EQ(big.width, 500) << big;
    // The list takes the 500 rows, less at most the edit field's height (Wine leaves that
    // out of CB_GETDROPPEDCONTROLRECT, which on Windows reaches the list's bottom).
    RECT dropped{};
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.right - dropped.left, 500) << "dropped rect " << Show(dropped);
    EXPECT_GE(dropped.bottom - dropped.top, 500 - big.height) << "dropped rect " << Show(dropped);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 1) << "list not open again";

    ExpandDroppedCombos(bar_);  // still open: nothing more
    EXPECT_EQ(PlaceOf(bar_, kSlotComboIds[row.slot]).x, 150);

    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    ExpandDroppedCombos(bar_);
    EXPECT_EQ(gDock.comboExpanded[row.slot], 0);
    const ControlPlace back = PlaceOf(bar_, kSlotComboIds[row.slot]);
    EXPECT_EQ(back.x, row.cellX) << back;
    EXPECT_EQ(back.y, row.cellY) << back;
    EXPECT_EQ(back.width, row.cellWidth) << back;
  }
}
