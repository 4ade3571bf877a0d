// The bar dialog from the real template, a bounded message pump and a scriptable shell for
// the Windows-side dock tests.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "dock/appbar.h"
#include "dock/autohide.h"
#include "dock/dock_state.h"
#include "shell/bar_state.h"

namespace dock_test {

inline INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// Pumps this thread's messages until done() holds or the deadline passes; returns done().
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

inline RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

inline bool SameRect(const RECT& a, const RECT& b) {
  return EqualRect(&a, &b) != 0;
}

inline bool IsTopmost(HWND window) {
  return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// A control's place in the bar's client coordinates, as x, y, width, height.
struct ControlPlace {
  int x, y, width, height;
  bool operator==(const ControlPlace& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};
inline std::ostream& operator<<(std::ostream& os, const ControlPlace& p) {
  return os << "(" << p.x << ", " << p.y << ", " << p.width << ", " << p.height << ")";
}
// A rectangle as text for failure messages.
inline std::string Show(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

inline ControlPlace PlaceOf(HWND bar, int id) {
  RECT r = WindowRectOf(GetDlgItem(bar, id));
  MapWindowPoints(HWND_DESKTOP, bar, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// A shell that answers as the test says and remembers what it was sent.
struct FakeShell {
  static inline UINT_PTR newAnswer = TRUE;
  static inline UINT_PTR stateAnswer = ABS_ALWAYSONTOP;
  static inline HWND autohideHolder = nullptr;
  static inline UINT_PTR setAutohideAnswer = TRUE;
  static inline RECT queryPosInset{};  // QUERYPOS pulls each side in this much
  static inline RECT queryPosIn{};
  static inline RECT setPosIn{};
  static inline UINT setPosEdge = 0;
  static inline int calls[16] = {};
  static inline LPARAM setAutohideParam = -1;
  static inline UINT setAutohideEdge = 0;
  static inline HWND claims[4] = {};   // each edge's autohide bar, one at most
  static inline bool badEdge = false;  // a request named an edge outside 0..3

  static void Reset() {
    newAnswer = TRUE;
    stateAnswer = ABS_ALWAYSONTOP;
    autohideHolder = nullptr;
    setAutohideAnswer = TRUE;
    queryPosInset = RECT{};
    queryPosIn = setPosIn = RECT{};
    setPosEdge = 0;
    for (int& c : calls) c = 0;
    setAutohideParam = -1;
    setAutohideEdge = 0;
    for (HWND& claim : claims) claim = nullptr;
    badEdge = false;
  }

  static UINT_PTR WINAPI Call(DWORD message, PAPPBARDATA data) {
    if (message < 16) ++calls[message];
    badEdge |= data->uEdge >= 4;
    HWND& claim = claims[data->uEdge & 3];
    switch (message) {
      case ABM_NEW:
        return newAnswer;
      case ABM_QUERYPOS:
        queryPosIn = data->rc;
        data->rc.left += queryPosInset.left;
        data->rc.top += queryPosInset.top;
        data->rc.right -= queryPosInset.right;
        data->rc.bottom -= queryPosInset.bottom;
        return TRUE;
      case ABM_SETPOS:
        setPosIn = data->rc;
        setPosEdge = data->uEdge;
        return TRUE;
      case ABM_GETSTATE:
        return stateAnswer;
      case ABM_GETAUTOHIDEBAR:
        return reinterpret_cast<UINT_PTR>(autohideHolder ? autohideHolder : claim);
      case ABM_SETAUTOHIDEBAR:
        setAutohideParam = data->lParam;
        setAutohideEdge = data->uEdge;
        if (!setAutohideAnswer || (claim && claim != data->hWnd)) return FALSE;
        claim = data->lParam ? data->hWnd : nullptr;
        return TRUE;
      default:
        return TRUE;
    }
  }
};

// The bar dialog from the program's own template, with fresh bar and dock state. One dialog
// serves a whole suite and goes with the process: under Wine without a window manager,
// hiding or destroying a shown window waits about two seconds for it to be withdrawn.
class BarTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared_ =
        CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr, PlainDialogProc, 0);
  }

  void SetUp() override {
    pinnafex::gBar = pinnafex::BarState{};
    pinnafex::gDock = pinnafex::DockState{};
    pinnafex::gShellBarMessage = SHAppBarMessage;
    FakeShell::Reset();
    bar_ = shared_;
    ASSERT_NE(bar_, nullptr) << "CreateDialogParamA failed, error " << GetLastError();
    // The bar starts as the dialog procedure leaves it: at (2, 0), 50 x 90.
    SetWindowPos(bar_, nullptr, 2, 0, 50, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "these checks are for a 1024 x 768 screen";
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768) << "these checks are for a 1024 x 768 screen";
  }

  void TearDown() override {
    // A slide thread moves the window through this thread's queue: let it finish first.
    EXPECT_TRUE(PumpUntil([] { return !pinnafex::SlideRunning(); })) << "a slide never ended";
    if (registered_) pinnafex::RegisterBar(bar_, 0);
    pinnafex::gShellBarMessage = SHAppBarMessage;
    pinnafex::gBar = pinnafex::BarState{};
    pinnafex::gDock = pinnafex::DockState{};
  }

  void UseFakeShell() { pinnafex::gShellBarMessage = FakeShell::Call; }

  // Waits until the bar's window sits at `expected` (a slide may be moving it).
  bool WaitForBarAt(const RECT& expected, DWORD timeoutMs = 5000) {
    return PumpUntil(
        [&] { return SameRect(WindowRectOf(bar_), expected) && !pinnafex::SlideRunning(); },
        timeoutMs);
  }

  static inline HWND shared_ = nullptr;
  HWND bar_ = nullptr;
  bool registered_ = false;
};

constexpr RECT kTopShown{0, -20, 1024, 70};
constexpr RECT kTopHidden{0, -88, 1024, 2};
constexpr RECT kLeftShown{0, -20, 120, 768};
constexpr RECT kLeftHidden{-118, -20, 2, 768};

}  // namespace dock_test
