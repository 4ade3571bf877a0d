#include "tests/win/dock_fixture.h"

#include "dock/layout.h"

using namespace pinnafex;
using namespace dock_test;

using DockAppbar = BarTest;

TEST_F(DockAppbar, RegistrationDocksAtTheStoredEdge) {
  // Wine's own appbar service, with no other bar: QUERYPOS leaves the proposal as it is.
  struct Row {
    int edge;
    RECT expected;
  } rows[] = {
      {0, {0, -20, 50, 768}},   {1, {0, -20, 1024, 70}}, {2, {974, -20, 1024, 768}},
      {3, {0, 678, 1024, 768}}, {6, {2, 0, 52, 90}},  // an unknown stored edge keeps the window
                                                      // where it is
  };
  for (const Row& row : rows) {
    SetWindowPos(bar_, nullptr, 2, 0, 50, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    gBar.edge = row.edge;
    EXPECT_EQ(RegisterBar(bar_, 1), 1) << "edge " << row.edge;
    EXPECT_TRUE(SameRect(WindowRectOf(bar_), row.expected))
        << "edge " << row.edge << ": bar at " << Show(WindowRectOf(bar_));
    EXPECT_EQ(RegisterBar(bar_, 0), 1) << "edge " << row.edge;
  }
}

TEST_F(DockAppbar, RefusedRegistrationPlacesNothing) {
  UseFakeShell();
  FakeShell::newAnswer = FALSE;
  EXPECT_EQ(RegisterBar(bar_, 1), 0);
  EXPECT_TRUE(SameRect(WindowRectOf(bar_), RECT{2, 0, 52, 90})) << Show(WindowRectOf(bar_));
  EXPECT_EQ(FakeShell::calls[ABM_QUERYPOS], 0);
  EXPECT_EQ(FakeShell::calls[ABM_SETPOS], 0);
  // Later docking still moves the window, whatever the shell answers.
  LayoutTop(bar_);
  EXPECT_TRUE(SameRect(WindowRectOf(bar_), kTopShown)) << Show(WindowRectOf(bar_));
}

TEST_F(DockAppbar, PlaceBarProposesNegotiatesAndClaims) {
  UseFakeShell();
  struct Row {
    const char* what;
    int edge;
    RECT inset;  // what the shell takes off the proposal, as for a taskbar on that side
    RECT proposed, placed;
  } rows[] = {
      {"top", 1, {}, {0, -20, 1024, 70}, {0, -20, 1024, 70}},
      // Below a taskbar at the top, the bar keeps its height under the new top.
      {"top below a taskbar", 1, {0, 30, 0, 0}, {0, -20, 1024, 70}, {0, 10, 1024, 100}},
      {"left", 0, {}, {0, -20, 120, 768}, {0, -20, 120, 768}},
      {"left beside a bar", 0, {40, 0, 0, 0}, {0, -20, 120, 768}, {40, -20, 160, 768}},
      {"right", 2, {}, {904, -20, 1024, 768}, {904, -20, 1024, 768}},
      {"right beside a bar", 2, {0, 0, 16, 0}, {904, -20, 1024, 768}, {888, -20, 1008, 768}},
      {"bottom above a taskbar", 3, {0, 0, 0, 28}, {0, 678, 1024, 768}, {0, 650, 1024, 740}},
  };
  for (const Row& row : rows) {
    FakeShell::queryPosInset = row.inset;
    APPBARDATA record = BarRecord(bar_);
    PlaceBar(row.edge, RECT{500, 500, 620, 590}, &record);  // 120 x 90
    EXPECT_TRUE(SameRect(FakeShell::queryPosIn, row.proposed))
        << row.what << ": proposed " << Show(FakeShell::queryPosIn);
    EXPECT_TRUE(SameRect(WindowRectOf(bar_), row.placed))
        << row.what << ": bar at " << Show(WindowRectOf(bar_));
    EXPECT_TRUE(SameRect(FakeShell::setPosIn, row.placed))
        << row.what << ": claimed " << Show(FakeShell::setPosIn);
    EXPECT_EQ(FakeShell::setPosEdge, static_cast<UINT>(row.edge)) << row.what;
    EXPECT_TRUE(SameRect(record.rc, row.placed)) << row.what << ": record " << Show(record.rc);
  }
}

TEST_F(DockAppbar, AutohidingBarSlidesAndClaimsNothing) {
  UseFakeShell();
  gBar.autohide = 1;
  gBar.edge = kEdgeTop;
  SetWindowPos(bar_, nullptr, 0, -88, 1024, 90, SWP_NOZORDER | SWP_NOACTIVATE);
  APPBARDATA record = BarRecord(bar_);
  RedockBar(&record);
  RECT empty{};
  EXPECT_TRUE(SameRect(FakeShell::setPosIn, empty)) << "claimed " << Show(FakeShell::setPosIn);
  EXPECT_TRUE(SameRect(record.rc, empty)) << "record " << Show(record.rc);
  // The slide, not PlaceBar, brings the bar to its shown place.
  EXPECT_TRUE(WaitForBarAt(kTopShown)) << "bar at " << Show(WindowRectOf(bar_));
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS))
      << "the slide left the priority raised";

  // Autohide off with the hidden flag left over: the shown place, at once.
  gBar.autohide = 0;
  gDock.barHidden = 1;
  SetWindowPos(bar_, nullptr, 0, 300, 1024, 90, SWP_NOZORDER | SWP_NOACTIVATE);
  RedockBar(&record);
  EXPECT_TRUE(SameRect(WindowRectOf(bar_), kTopShown)) << "bar at " << Show(WindowRectOf(bar_));
}

TEST_F(DockAppbar, NotificationsSetZOrderAndRedock) {
  UseFakeShell();
  struct Row {
    const char* what;
    WPARAM code;
    LPARAM flag;
    UINT_PTR state;  // the shell's ABM_GETSTATE answer
    bool topmostBefore;
    bool topmostAfter;
    bool redocked;
  } rows[] = {
      {"state change, on top", ABN_STATECHANGE, 0, ABS_ALWAYSONTOP, false, true, false},
      {"state change, not on top", ABN_STATECHANGE, 0, ABS_AUTOHIDE, true, false, false},
      {"position changed", ABN_POSCHANGED, 0, 0, true, true, true},
      {"full-screen started, on top", ABN_FULLSCREENAPP, 1, ABS_ALWAYSONTOP, false, true, true},
      {"full-screen started, not on top", ABN_FULLSCREENAPP, 1, 0, true, false, true},
      {"full-screen ended, on top", ABN_FULLSCREENAPP, 0, ABS_ALWAYSONTOP, false, true, true},
      {"full-screen ended, not on top, stays up", ABN_FULLSCREENAPP, 0, 0, true, true, true},
      {"full-screen ended, not on top, stays down", ABN_FULLSCREENAPP, 0, 0, false, false, true},
      {"window arrange", ABN_WINDOWARRANGE, 0, 0, true, true, false},
      {"unknown code", 77, 1, 0, true, true, false},
  };
  for (const Row& row : rows) {
    LayoutTop(bar_);
    FakeShell::stateAnswer = row.state;
    SetWindowPos(bar_, row.topmostBefore ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 300, 1024, 90,
                 SWP_NOACTIVATE);
    OnBarNotify(bar_, row.code, row.flag);
    EXPECT_EQ(IsTopmost(bar_), row.topmostAfter) << row.what;
    const RECT expected = row.redocked ? kTopShown : RECT{0, 300, 1024, 390};
    EXPECT_TRUE(SameRect(WindowRectOf(bar_), expected))
        << row.what << ": bar at " << Show(WindowRectOf(bar_));
  }
}

TEST_F(DockAppbar, StateChangeWithWinesServiceKeepsTheBarOnTop) {
  // Wine's ABM_GETSTATE always answers ABS_ALWAYSONTOP | ABS_AUTOHIDE, and Wine sends no
  // full-screen notifications; on Windows the answer follows the taskbar's settings.
  gBar.edge = kEdgeTop;
  ASSERT_EQ(RegisterBar(bar_, 1), 1);
  registered_ = true;
  SetWindowPos(bar_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  OnBarNotify(bar_, ABN_STATECHANGE, 0);
  EXPECT_TRUE(IsTopmost(bar_));
  EXPECT_TRUE(SameRect(WindowRectOf(bar_), kTopShown)) << Show(WindowRectOf(bar_));
}
