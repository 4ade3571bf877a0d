#include "tests/win/dock_fixture.h"

#include "dock/layout.h"
#include "base/bar_ids.h"

using namespace pinnafex;
using namespace dock_test;

namespace {

// The context menu's Autohide item, as the dialog creates it.
class AutohideMenu {
 public:
  AutohideMenu() : menu_(CreatePopupMenu()) {
    AppendMenuA(menu_, MF_STRING, kCmdAutohide, "Autohide");
  }
  ~AutohideMenu() { DestroyMenu(menu_); }
  HMENU get() const { return menu_; }
  bool checked() const {
    return (GetMenuState(menu_, kCmdAutohide, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  bool greyed() const {
    return (GetMenuState(menu_, kCmdAutohide, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
  }

 private:
  HMENU menu_;
};

}  // namespace

class DockAutohide : public BarTest {
 protected:
  // Autohide on at the top, bar slid to its shown place, cursor in the middle of the screen.
  void StartShownAtTop() {
    gBar.autohide = 1;
    LayoutTop(bar_);
    ASSERT_TRUE(WaitForBarAt(kTopShown)) << "bar at " << Show(WindowRectOf(bar_));
  }
  void CursorAt(int x, int y) {
    ASSERT_TRUE(SetCursorPos(x, y));
    POINT at{};
    ASSERT_TRUE(PumpUntil([&] { return GetCursorPos(&at) && at.x == x && at.y == y; }))
        << "cursor at " << at.x << ", " << at.y;
  }
};

TEST_F(DockAutohide, ToggleWithWinesServiceSwitchesOnAndOff) {
  // Wine's ABM_SETAUTOHIDEBAR answers TRUE and stores nothing, and ABM_GETAUTOHIDEBAR answers
  // null; Windows would report this bar as the edge's autohide bar once it is on.
  AutohideMenu menu;
  gBar.edge = kEdgeTop;
  ToggleAutohide(bar_, menu.get());
  EXPECT_EQ(gBar.autohide, 1);
  EXPECT_TRUE(menu.checked());
  EXPECT_FALSE(menu.greyed());

  gDock.barHidden = 1;
  ToggleAutohide(bar_, menu.get());
  EXPECT_EQ(gBar.autohide, 0);
  EXPECT_FALSE(menu.checked());
  EXPECT_FALSE(menu.greyed());
  EXPECT_EQ(gDock.barHidden, 0) << "switching off must clear the hidden flag";
}

TEST_F(DockAutohide, EdgeHeldByAnotherWindowEndsOffAndGreyed) {
  UseFakeShell();
  HWND other = CreateWindowA("STATIC", "other bar", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  struct Row {
    const char* what;
    int autohideBefore;
    bool checkedBefore;
  } rows[] = {
      {"asked to switch on", 0, false},
      {"asked to switch off", 1, true},
  };
  for (const Row& row : rows) {
    AutohideMenu menu;
    CheckMenuItem(menu.get(), kCmdAutohide, row.checkedBefore ? MF_CHECKED : MF_UNCHECKED);
    FakeShell::autohideHolder = other;
    FakeShell::setAutohideAnswer = FALSE;  // as Windows answers while another bar holds the edge
    gBar.edge = kEdgeLeft;
    gBar.autohide = row.autohideBefore;
    ToggleAutohide(bar_, menu.get());
    EXPECT_EQ(gBar.autohide, 0) << row.what;
    EXPECT_TRUE(menu.greyed()) << row.what;
    EXPECT_EQ(menu.checked(), row.checkedBefore) << row.what << ": check mark changed";
    EXPECT_EQ(FakeShell::setAutohideEdge, static_cast<UINT>(kEdgeLeft)) << row.what;

    // The edge free again: the next toggle enables the item and switches on.
    FakeShell::autohideHolder = nullptr;
    FakeShell::setAutohideAnswer = TRUE;
    ToggleAutohide(bar_, menu.get());
    EXPECT_FALSE(menu.greyed()) << row.what;
    EXPECT_EQ(gBar.autohide, 1) << row.what;
    EXPECT_EQ(FakeShell::setAutohideParam, 1) << row.what;
    EXPECT_TRUE(menu.checked()) << row.what;
  }
  DestroyWindow(other);
}

TEST_F(DockAutohide, ShellRefusingLeavesAutohideOff) {
  UseFakeShell();
  FakeShell::setAutohideAnswer = FALSE;
  AutohideMenu menu;
  ToggleAutohide(bar_, menu.get());
  EXPECT_EQ(gBar.autohide, 0);
  EXPECT_FALSE(menu.checked());
  EXPECT_FALSE(menu.greyed());
  // This bar itself holding the edge is no reason to grey the item.
  FakeShell::autohideHolder = bar_;
  FakeShell::setAutohideAnswer = TRUE;
  ToggleAutohide(bar_, menu.get());
  EXPECT_EQ(gBar.autohide, 1);
  EXPECT_FALSE(menu.greyed());
}

TEST_F(DockAutohide, HitTestHidesAndShowsAtBothEdges) {
  struct Row {
    const char* what;
    void (*layout)(HWND);
    RECT shown, hidden;
    POINT away, strip;
  } rows[] = {
      {"top", LayoutTop, kTopShown, kTopHidden, {500, 400}, {500, 1}},
      {"left", LayoutLeft, kLeftShown, kLeftHidden, {600, 400}, {1, 400}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    gBar.autohide = 1;
    gDock.barHidden = 0;
    CursorAt(row.strip.x, row.strip.y);
    row.layout(bar_);
    ASSERT_TRUE(WaitForBarAt(row.shown)) << "bar at " << Show(WindowRectOf(bar_));

    CursorAt(row.away.x, row.away.y);
    AutohideHitTest(bar_);
    EXPECT_EQ(gDock.barHidden, 1);
    EXPECT_TRUE(WaitForBarAt(row.hidden)) << "bar at " << Show(WindowRectOf(bar_));
    AutohideHitTest(bar_);  // still away: stays hidden
    EXPECT_EQ(gDock.barHidden, 1);

    CursorAt(row.strip.x, row.strip.y);
    AutohideHitTest(bar_);
    EXPECT_EQ(gDock.barHidden, 0);
    EXPECT_TRUE(WaitForBarAt(row.shown)) << "bar at " << Show(WindowRectOf(bar_));
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
  }
}

TEST_F(DockAutohide, CursorOnTheBottomRowStillCountsAsInside) {
  StartShownAtTop();
  CursorAt(500, 70);  // the window's bottom coordinate, one row below its last pixel
  AutohideHitTest(bar_);
  EXPECT_EQ(gDock.barHidden, 0);
  CursorAt(500, 71);
  AutohideHitTest(bar_);
  EXPECT_EQ(gDock.barHidden, 1);
}

TEST_F(DockAutohide, NoHideWhileAListOrTheMenuIsOpen) {
  StartShownAtTop();
  CursorAt(500, 400);

  HWND combo = GetDlgItem(bar_, kSlotComboIds[19]);  // hidden off the screen, still asked
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("line"));
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 1);
  AutohideHitTest(bar_);
  EXPECT_EQ(gDock.barHidden, 0) << "hid with a slot list open";
  SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);

  gBar.menuOrPromptOpen = 1;
  AutohideHitTest(bar_);
  EXPECT_EQ(gDock.barHidden, 0) << "hid with the menu open";
  gBar.menuOrPromptOpen = 0;

  AutohideHitTest(bar_);  // the first tick after they close
  EXPECT_EQ(gDock.barHidden, 1);
  EXPECT_TRUE(WaitForBarAt(kTopHidden)) << "bar at " << Show(WindowRectOf(bar_));
}

TEST_F(DockAutohide, AutohideOffMakesTheHitTestDoNothing) {
  LayoutTop(bar_);
  CursorAt(500, 400);
  for (int hidden : {0, 1}) {
    gBar.autohide = 0;
    gDock.barHidden = hidden;
    AutohideHitTest(bar_);
    EXPECT_EQ(gDock.barHidden, hidden);
    EXPECT_TRUE(SameRect(WindowRectOf(bar_), kTopShown)) << "bar at " << Show(WindowRectOf(bar_));
  }
}

TEST_F(DockAutohide, SwitchingOffWhileHiddenShowsTheBarAtOnce) {
  AutohideMenu menu;
  StartShownAtTop();
  CursorAt(500, 400);
  AutohideHitTest(bar_);
  ASSERT_TRUE(WaitForBarAt(kTopHidden)) << "bar at " << Show(WindowRectOf(bar_));

  ToggleAutohide(bar_, menu.get());  // on -> off
  ASSERT_EQ(gBar.autohide, 0);
  LayoutTop(bar_);  // the dialog's relayout
  EXPECT_FALSE(SlideRunning());
  EXPECT_TRUE(SameRect(WindowRectOf(bar_), kTopShown)) << "bar at " << Show(WindowRectOf(bar_));
}
