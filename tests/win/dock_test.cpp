// The dock's glue on the bar's own template against a fake shell, and the dialog's session.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

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
  message = message == 0x0b ? ABM_GETAUTOHIDEBAR : message == 0x0c ? ABM_SETAUTOHIDEBAR : message;
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

}  // namespace

// What Wine's service cannot show: its state answer always says always-on-top, it never
// refuses a claim, and it keeps no other taskbar.
TEST(Dock, ShellAnswersSetTheZOrderClaimsAndPlace) {
  HWND bar = CreateDialogA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr, nullptr);
  gShell = FakeShell{};
  gShellBarMessage = FakeShellCall;
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
    SetWindowPos(bar, row.topmostBefore ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(OnBarNotify(bar, row.code, row.flag), row.redock) << row.what;
    EXPECT_EQ((GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, row.topmostAfter)
        << row.what;
  }
  gShell.claims[kEdgeLeft] = GetDesktopWindow();  // another bar's
  const Monitor screen{{0, 0, 1024, 768}, 96};
  EXPECT_EQ(ClaimAutohide(bar, kEdgeLeft, screen.rect, true), AutohideClaim::kHeldElsewhere);
  // A taskbar keeps 30 pixels at the top: the bar docks below it and claims what it got.
  gShell.inset = {0, 30, 0, 0};
  LayoutBar(bar, kEdgeTop, false, screen);
  RedockBar(bar, {kEdgeTop, false, false, screen});
  RECT rect{};
  GetWindowRect(bar, &rect);
  EXPECT_EQ(rect, (RECT{0, 10, 1024, 100}));
  EXPECT_EQ(gShell.setPosIn, (RECT{0, 30, 1024, 100})) << "the caption above claims nothing";
  gShell.setPosIn = {};
  RedockBar(bar, {kEdgeTop, true, false, screen});
  EXPECT_TRUE(PumpUntil([] { return !SlideRunning(); }));
  EXPECT_EQ(gShell.setPosIn, RECT{}) << "an autohiding bar claims no space";
  gShellBarMessage = SHAppBarMessage;
}

TEST(Dock, SessionClaimsFollowTheEdgeAndItsEndKeepsTheSettings) {
  gShell = FakeShell{};
  gShellBarMessage = FakeShellCall;
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
  gShellBarMessage = SHAppBarMessage;
}
