// The dock's glue against a fake shell: what Wine's appbar service never does. Its state answer
// always says always-on-top, it never refuses a claim, keeps no other taskbar and never restarts.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "base/bar_ids.h"
#include "dock/appbar.h"
#include "dock/autohide.h"
#include "dock/layout.h"
#include "settings/settings.h"
#include "shell/bar_dialog.h"

using namespace pinnafex;

namespace {

// Pumps this thread's messages until no slide runs or five seconds pass.
bool SlidesEnd() {
  for (const DWORD start = GetTickCount(); SlideRunning() && GetTickCount() - start <= 5000;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
  }
  return !SlideRunning();
}

// A shell that keeps each edge's autohide bar.
struct FakeShell {
  HWND claims[4] = {};
  RECT setPos{};
  UINT_PTR state = ABS_ALWAYSONTOP;  // its ABM_GETSTATE answer
  int calls[16] = {};
  bool badEdge = false;  // a request named an edge outside 0..3
} gShell;

UINT_PTR WINAPI FakeShellCall(DWORD message, PAPPBARDATA data) {
  ++gShell.calls[message & 15];
  message = message == 0x0b ? ABM_GETAUTOHIDEBAR : message == 0x0c ? ABM_SETAUTOHIDEBAR : message;
  gShell.badEdge |= data->uEdge >= 4;
  HWND& claim = gShell.claims[data->uEdge & 3];
  if (message == ABM_SETPOS) gShell.setPos = data->rc;
  if (message == ABM_GETSTATE) return gShell.state;
  if (message == ABM_GETAUTOHIDEBAR) return reinterpret_cast<UINT_PTR>(claim);
  if (message == ABM_SETAUTOHIDEBAR) {
    if (claim && claim != data->hWnd) return FALSE;
    claim = data->lParam ? data->hWnd : nullptr;
  }
  return TRUE;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

}  // namespace

TEST(Dock, ClaimsFollowTheBarAndShellAnswersSetItsZOrderAndPlace) {
  gShell = FakeShell{};
  gShellBarMessage = FakeShellCall;
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
  WriteSettingString(kProgramKey, "STARTPOSITON", "7");
  WriteSettingString(kProgramKey, "AUTOHIDE", "5");
  HWND bar =
      CreateDialogParamW(GetModuleHandleW(nullptr), L"IDD_DIALOG1", nullptr, BarDialogProc, 0);
  ASSERT_NE(bar, nullptr);
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  HWND other = GetDesktopWindow();  // another bar's
  // What happens, the message, its wParam, and each edge's autohide bar afterwards.
  const std::tuple<const char*, UINT, WPARAM, HWND, HWND> rows[] = {
      {"started with a stored edge of 7", 0, 0, bar, nullptr},
      {"Top", WM_COMMAND, kCmdTop, nullptr, bar},
      {"Autohide off", WM_COMMAND, kCmdAutohide, nullptr, nullptr},
      {"Left", WM_COMMAND, kCmdLeft, nullptr, nullptr},
      {"Autohide on", WM_COMMAND, kCmdAutohide, bar, nullptr},
      {"Top, where another bar holds autohide", WM_COMMAND, kCmdTop, nullptr, other},
      {"Left again: autohide as chosen", WM_COMMAND, kCmdLeft, bar, other},
      {"Explorer restarted", taskbarCreated, 0, bar, nullptr},
      {"asked to end the session", WM_QUERYENDSESSION, 0, bar, nullptr},
      {"session ended", WM_ENDSESSION, TRUE, nullptr, nullptr},
      {"a second end finds nothing left to do", WM_ENDSESSION, TRUE, nullptr, nullptr},
  };
  for (const auto& [what, message, wParam, left, top] : rows) {
    if (message == taskbarCreated) gShell = FakeShell{};  // a shell that knows no bars
    if (top == other) gShell.claims[kEdgeTop] = other;    // planted where a row expects it
    const LRESULT answer = message ? SendMessageA(bar, message, wParam, 0) : 0;
    if (message == WM_QUERYENDSESSION) EXPECT_EQ(answer, TRUE);
    EXPECT_EQ(gShell.claims[kEdgeLeft], left) << what;
    EXPECT_EQ(gShell.claims[kEdgeTop], top) << what;
    EXPECT_FALSE(gShell.badEdge) << what << ": an edge outside 0..3 reached the shell";
    EXPECT_TRUE(SlidesEnd()) << what;
  }
  EXPECT_EQ(gShell.calls[ABM_NEW], 1) << "registered again after TaskbarCreated";
  EXPECT_EQ(gShell.calls[ABM_REMOVE], 1) << "taken off the shell at the session's end";
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
  // The bar, off the shell now, against answers only a shell with other bars gives.
  // A notice, its flag, the shell's state answer; on top afterwards, docked again.
  const std::tuple<WPARAM, LPARAM, UINT_PTR, bool, bool> notices[] = {
      {ABN_STATECHANGE, 0, ABS_AUTOHIDE, false, false},  // the shell's bars not on top
      {ABN_FULLSCREENAPP, 1, 0, false, true},            // a full-screen program started
      {ABN_FULLSCREENAPP, 0, 0, true, true},             // and ended: the bar stays up
  };
  for (const auto& [code, flag, state, topmost, redock] : notices) {
    gShell.state = state;
    SetWindowPos(bar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(OnBarNotify(bar, code, flag), redock) << code << flag;
    EXPECT_EQ((GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, topmost) << code;
  }
  gShell.claims[kEdgeLeft] = other;
  const Monitor screen{{0, 0, 1024, 768}, 96};
  EXPECT_EQ(ClaimAutohide(bar, kEdgeLeft, screen.rect, true), AutohideClaim::kHeldElsewhere);
  // The bar claims what it got, not its caption above; hidden, it claims nothing.
  SizeBar(bar, kEdgeTop, screen);
  const Rect area = AskArea(bar, {kEdgeTop, false, false, screen});
  RedockBar(bar, {kEdgeTop, false, false, screen, area});
  RECT rect{};
  GetWindowRect(bar, &rect);
  EXPECT_EQ(Text(rect) + " " + Text(gShell.setPos), "0,-20,1024,70 0,0,1024,70");
  gShell.setPos = {};
  RedockBar(bar, {kEdgeTop, true, false, screen, area});
  EXPECT_TRUE(SlidesEnd());
  EXPECT_EQ(Text(gShell.setPos), "0,0,0,0") << "an autohiding bar claims no space";
  gShellBarMessage = SHAppBarMessage;
}
