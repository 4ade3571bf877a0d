#include "dock/layout.h"
#include "tests/win/dock_fixture.h"

using namespace pinnafex;
using namespace dock_test;

using DockAppbar = BarTest;

TEST_F(DockAppbar, PlaceBarNegotiatesWithTheShellAtEachEdge) {
  struct Row {
    const char* what;
    int edge;
    bool autohide;
    RECT inset;  // what the shell takes off the proposal, as for a taskbar on that side
    RECT placed;
  } rows[] = {
      {"top below a taskbar", kEdgeTop, false, {0, 30, 0, 0}, {0, 10, 1024, 100}},
      {"left beside a bar", kEdgeLeft, false, {40, 0, 0, 0}, {40, -20, 160, 768}},
      {"right beside a bar", 2, false, {0, 0, 16, 0}, {888, -20, 1008, 768}},
      {"bottom above a taskbar", 3, false, {0, 0, 0, 28}, {0, 650, 1024, 740}},
      {"top, autohiding: slides there, claims nothing", kEdgeTop, true, {}, kTopShown},
  };
  for (const Row& row : rows) {
    FakeShell::inset = row.inset;
    SetWindowPos(bar_, nullptr, 0, -88, 1024, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    APPBARDATA record = BarRecord(bar_);
    PlaceBar({row.edge, row.autohide, false, 96}, RECT{500, 500, 620, 590}, &record);  // 120 x 90
    EXPECT_TRUE(WaitForBarAt(row.placed))
        << row.what << ": " << ::testing::PrintToString(WindowRectOf(bar_));
    EXPECT_EQ(FakeShell::setPosIn, row.autohide ? RECT{} : row.placed) << row.what;
  }
}

TEST_F(DockAppbar, NotificationsSetTheZOrderAndAskForARedock) {
  struct Row {
    const char* what;
    WPARAM code;
    LPARAM flag;
    UINT_PTR state;  // the shell's ABM_GETSTATE answer
    bool topmostBefore, topmostAfter, redock;
  } rows[] = {
      {"state change, on top", ABN_STATECHANGE, 0, ABS_ALWAYSONTOP, false, true, false},
      {"state change, not on top", ABN_STATECHANGE, 0, ABS_AUTOHIDE, true, false, false},
      {"position changed", ABN_POSCHANGED, 0, 0, true, true, true},
      {"full-screen started, not on top", ABN_FULLSCREENAPP, 1, 0, true, false, true},
      {"full-screen ended, on top", ABN_FULLSCREENAPP, 0, ABS_ALWAYSONTOP, false, true, true},
      {"full-screen ended, not on top, stays up", ABN_FULLSCREENAPP, 0, 0, true, true, true},
      {"unknown code", 77, 1, 0, true, true, false},
  };
  for (const Row& row : rows) {
    FakeShell::stateAnswer = row.state;
    SetWindowPos(bar_, row.topmostBefore ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(OnBarNotify(bar_, row.code, row.flag), row.redock) << row.what;
    EXPECT_EQ((GetWindowLongPtrA(bar_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, row.topmostAfter)
        << row.what;
  }
}

TEST_F(DockAppbar, AutohideSlidesToTheStripAndBackAtBothEdges) {
  HWND other =
      CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  FakeShell::claims[3] = other;
  EXPECT_EQ(ClaimAutohide(bar_, 3, true), AutohideClaim::kHeldElsewhere);
  EXPECT_EQ(FakeShell::claims[3], other);
  DestroyWindow(other);
  struct Row {
    int edge;
    RECT shown, hidden;
    POINT away, strip;
  } rows[] = {
      {kEdgeTop, kTopShown, {0, -88, 1024, 2}, {500, 400}, {500, 1}},
      {kEdgeLeft, kLeftShown, {-118, -20, 2, 768}, {600, 400}, {1, 400}},
  };
  const auto cursorAt = [](POINT at) {
    SetCursorPos(at.x, at.y);
    POINT now{};
    return PumpUntil([&] { return GetCursorPos(&now) && now.x == at.x && now.y == at.y; });
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.edge);
    ASSERT_EQ(ClaimAutohide(bar_, row.edge, true), AutohideClaim::kOn);
    ASSERT_TRUE(cursorAt(row.strip));
    LayoutBar(bar_, row.edge, false, 96);
    RedockBar(bar_, {row.edge, true, false, 96});
    ASSERT_TRUE(WaitForBarAt(row.shown));

    ASSERT_TRUE(cursorAt(row.away));
    EXPECT_EQ(AutohideHit(bar_, false, true), HitAction::kNone) << "hid with the menu open";
    ASSERT_EQ(AutohideHit(bar_, false, false), HitAction::kHide);
    RedockBar(bar_, {row.edge, true, true, 96});
    EXPECT_TRUE(WaitForBarAt(row.hidden));
    EXPECT_EQ(AutohideHit(bar_, true, false), HitAction::kNone) << "still away";

    ASSERT_TRUE(cursorAt(row.strip));
    ASSERT_EQ(AutohideHit(bar_, true, false), HitAction::kShow);
    RedockBar(bar_, {row.edge, true, false, 96});
    EXPECT_TRUE(WaitForBarAt(row.shown));
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(ClaimAutohide(bar_, row.edge, false), AutohideClaim::kOff);
    EXPECT_EQ(FakeShell::claims[row.edge], nullptr);
  }
}
