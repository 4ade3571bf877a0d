// The dock's glue on the bar's own template against a fake shell, and the dialog's session.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dock/appbar.h"
#include "dock/autohide.h"
#include "dock/layout.h"
#include "settings/settings.h"
#include "shell/bar_dialog.h"
#include "base/bar_ids.h"

using namespace pinnafex;

inline bool operator==(const RECT& a, const RECT& b) {
  return EqualRect(&a, &b) != 0;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace {

// Pumps this thread's messages until done() holds or five seconds pass; returns done().
template <class Done>
bool PumpUntil(Done done) {
  const DWORD start = GetTickCount();
  for (MSG msg; !done() && GetTickCount() - start <= 5000;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return done();
}

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// A shell that keeps each edge's autohide bar and pulls each QUERYPOS side in by `inset`.
struct FakeShell {
  HWND claims[4] = {};
  RECT inset{}, setPosIn{};
  UINT_PTR stateAnswer = ABS_ALWAYSONTOP;
  int calls[16] = {};
  bool badEdge = false;  // a request named an edge outside 0..3
} gShell;

UINT_PTR WINAPI FakeShellCall(DWORD message, PAPPBARDATA data) {
  ++gShell.calls[message & 15];
  gShell.badEdge |= data->uEdge >= 4;
  HWND& claim = gShell.claims[data->uEdge & 3];
  const RECT& in = gShell.inset;
  if (message == ABM_QUERYPOS) {
    data->rc = {data->rc.left + in.left, data->rc.top + in.top, data->rc.right - in.right,
                data->rc.bottom - in.bottom};
  } else if (message == ABM_SETPOS) {
    gShell.setPosIn = data->rc;
  } else if (message == ABM_GETSTATE) {
    return gShell.stateAnswer;
  } else if (message == ABM_GETAUTOHIDEBAR) {
    return reinterpret_cast<UINT_PTR>(claim);
  } else if (message == ABM_SETAUTOHIDEBAR) {
    if (claim && claim != data->hWnd) return FALSE;
    claim = data->lParam ? data->hWnd : nullptr;
  }
  return TRUE;
}

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// One bar dialog from the program's template serves every test: under Wine without a window
// manager, hiding or destroying a shown window waits about two seconds.
struct BarTest : ::testing::Test {
  void SetUp() override {
    static const HWND shared =
        CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr, PlainProc, 0);
    ASSERT_NE(bar_ = shared, nullptr);
    gShell = FakeShell{};
    gShellBarMessage = FakeShellCall;
  }
  void TearDown() override {
    // A slide thread moves the window through this thread's queue: let it finish first.
    EXPECT_TRUE(PumpUntil([] { return !SlideRunning(); })) << "a slide never ended";
    gShellBarMessage = SHAppBarMessage;
  }
  bool WaitForBarAt(const RECT& expected) {  // a slide may be moving it
    return PumpUntil([&] { return WindowRectOf(bar_) == expected && !SlideRunning(); });
  }
  HWND bar_ = nullptr;
};

}  // namespace

// What Wine's service cannot show: its state answer always says always-on-top.
TEST_F(BarTest, NotificationsSetTheZOrderAndAskForARedock) {
  struct Row {
    const char* what;
    WPARAM code;
    LPARAM flag;
    UINT_PTR state;  // the shell's ABM_GETSTATE answer
    bool topmostBefore, topmostAfter, redock;
  } rows[] = {
      {"state change, not on top", ABN_STATECHANGE, 0, ABS_AUTOHIDE, true, false, false},
      {"full-screen started, not on top", ABN_FULLSCREENAPP, 1, 0, true, false, true},
      {"full-screen ended, not on top, stays up", ABN_FULLSCREENAPP, 0, 0, true, true, true},
  };
  for (const Row& row : rows) {
    gShell.stateAnswer = row.state;
    SetWindowPos(bar_, row.topmostBefore ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(OnBarNotify(bar_, row.code, row.flag), row.redock) << row.what;
    EXPECT_EQ((GetWindowLongPtrA(bar_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, row.topmostAfter)
        << row.what;
  }
}

TEST_F(BarTest, AutohideSlidesToTheStripAndBackAtBothEdges) {
  gShell.claims[3] = GetDesktopWindow();  // another bar's
  EXPECT_EQ(ClaimAutohide(bar_, 3, true), AutohideClaim::kHeldElsewhere);
  struct Row {
    int edge;
    RECT shown, hidden;
    POINT away, strip;
  } rows[] = {
      {kEdgeTop, {0, -20, 1024, 70}, {0, -88, 1024, 2}, {500, 400}, {500, 1}},
      {kEdgeLeft, {0, -20, 120, 768}, {-118, -20, 2, 768}, {600, 400}, {1, 400}},
  };
  const auto cursorAt = [](POINT at) {
    POINT now{};
    return SetCursorPos(at.x, at.y) &&
           PumpUntil([&] { return GetCursorPos(&now) && now.x == at.x && now.y == at.y; });
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.edge);
    ASSERT_EQ(ClaimAutohide(bar_, row.edge, true), AutohideClaim::kOn);
    LayoutBar(bar_, row.edge, false, 96);
    RedockBar(bar_, {row.edge, true, false, 96});
    ASSERT_TRUE(WaitForBarAt(row.shown));
    EXPECT_EQ(gShell.setPosIn, RECT{}) << "an autohiding bar claims no space";
    ASSERT_TRUE(cursorAt(row.away));
    ASSERT_EQ(AutohideHit(bar_, false, false), HitAction::kHide);
    RedockBar(bar_, {row.edge, true, true, 96});
    EXPECT_TRUE(WaitForBarAt(row.hidden));
    ASSERT_TRUE(cursorAt(row.strip));
    ASSERT_EQ(AutohideHit(bar_, true, false), HitAction::kShow);
    RedockBar(bar_, {row.edge, true, false, 96});
    EXPECT_TRUE(WaitForBarAt(row.shown));
    EXPECT_EQ(ClaimAutohide(bar_, row.edge, false), AutohideClaim::kOff);
  }
}

TEST_F(BarTest, ShownControlsLieInsideTheBarWithoutOverlapping) {
  // Frames hold the other controls: each kind is checked among its own.
  std::vector<int> frames = {kClockFrameId}, others = {kExitButtonId, kClockFieldId};
  frames.insert(frames.end(), std::begin(kSlotFrameIds), std::end(kSlotFrameIds));
  for (const auto* ids : {&kPopButtonIds, &kPushButtonIds, &kSlotComboIds}) {
    others.insert(others.end(), std::begin(*ids), std::end(*ids));
  }
  const auto shown = [&](int id) { return IsWindowVisible(GetDlgItem(bar_, id)) != 0; };
  const auto rectOf = [&](int id) { return WindowRectOf(GetDlgItem(bar_, id)); };
  const auto inside = [](const RECT& inner, const RECT& outer) {
    RECT both{};
    return IntersectRect(&both, &inner, &outer) && both == inner;
  };
  for (int edge : {kEdgeTop, kEdgeLeft}) {
    for (bool clockHidden : {false, true}) {
      SCOPED_TRACE(testing::Message() << "edge " << edge << ", clock hidden " << clockHidden);
      LayoutBar(bar_, edge, clockHidden, 96);
      // The shell keeps a taskbar's 30 pixels at the top, another bar's 40 at the left.
      gShell.inset = edge == kEdgeTop ? RECT{0, 30, 0, 0} : RECT{40, 0, 0, 0};
      RedockBar(bar_, {edge, false, false, 96});
      RECT bar = WindowRectOf(bar_);
      EXPECT_EQ(bar, (edge == kEdgeTop ? RECT{0, 10, 1024, 100} : RECT{40, -20, 160, 768}));
      EXPECT_EQ(gShell.setPosIn, bar) << "claimed";
      bar.right = std::min<LONG>(bar.right, 1024);  // its far end cut at the screen's
      bar.bottom = std::min<LONG>(bar.bottom, 768);
      for (const std::vector<int>& ids : {frames, others}) {
        std::vector<RECT> seen;
        for (int id : ids) {
          if (!shown(id)) continue;
          RECT r = rectOf(id), both{};
          EXPECT_TRUE(inside(r, bar)) << "control " << id;
          for (const RECT& o : seen) EXPECT_FALSE(IntersectRect(&both, &r, &o)) << "control " << id;
          seen.push_back(r);
        }
      }
      // As many slot groups as fit, in order, each shown whole; the clock as asked.
      int fit = 0;
      while (fit < kSlotCount && shown(kSlotFrameIds[fit])) ++fit;
      ASSERT_LT(fit, kSlotCount);
      EXPECT_FALSE(inside(rectOf(kSlotFrameIds[fit]), bar)) << "slot " << fit << " would fit";
      for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(shown(kSlotFrameIds[slot]) + shown(kPopButtonIds[slot]) +
                      shown(kPushButtonIds[slot]) + shown(kSlotComboIds[slot]),
                  slot < fit ? 4 : 0)
            << "slot " << slot;
      }
      EXPECT_EQ(shown(kClockFrameId) + shown(kExitButtonId) + shown(kClockFieldId),
                clockHidden ? 0 : 3);
    }
  }
}

TEST_F(BarTest, SessionClaimsFollowTheEdgeAndItsEndKeepsTheSettings) {
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
  WriteSettingString(kProgramKey, "STARTPOSITON", "7");
  WriteSettingString(kProgramKey, "AUTOHIDE", "5");
  HWND bar =
      CreateDialogParamW(GetModuleHandleW(nullptr), L"IDD_DIALOG1", nullptr, BarDialogProc, 0);
  ASSERT_NE(bar, nullptr);
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  struct Row {
    const char* what;
    UINT message;
    WPARAM wParam;
    HWND left, top;  // each edge's autohide bar afterwards
  } rows[] = {
      {"started with a stored edge of 7", 0, 0, bar, nullptr},
      {"Top", WM_COMMAND, kCmdTop, nullptr, bar},
      {"Left", WM_COMMAND, kCmdLeft, bar, nullptr},
      {"Autohide off", WM_COMMAND, kCmdAutohide, nullptr, nullptr},
      {"Top", WM_COMMAND, kCmdTop, nullptr, nullptr},
      {"Autohide on", WM_COMMAND, kCmdAutohide, nullptr, bar},
      {"Explorer restarted", taskbarCreated, 0, nullptr, bar},
      {"asked to end the session", WM_QUERYENDSESSION, 0, nullptr, bar},
      {"session ended", WM_ENDSESSION, TRUE, nullptr, nullptr},
      {"a second end finds nothing left to do", WM_ENDSESSION, TRUE, nullptr, nullptr},
  };
  for (const Row& row : rows) {
    if (row.message == taskbarCreated) gShell = FakeShell{};  // a shell that knows no bars
    const LRESULT answer = row.message ? SendMessageA(bar, row.message, row.wParam, 0) : 0;
    if (row.message == WM_QUERYENDSESSION) EXPECT_EQ(answer, TRUE);
    EXPECT_EQ(gShell.claims[kEdgeLeft], row.left) << row.what;
    EXPECT_EQ(gShell.claims[kEdgeTop], row.top) << row.what;
    EXPECT_FALSE(gShell.badEdge) << row.what << ": an edge outside 0..3 reached the shell";
    EXPECT_TRUE(PumpUntil([] { return !SlideRunning(); })) << row.what;
  }
  EXPECT_EQ(gShell.calls[ABM_NEW], 1) << "registered again after TaskbarCreated";
  EXPECT_EQ(gShell.calls[ABM_REMOVE], 1) << "taken off the shell at the session's end";
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
}
