// The bar dialog from the real template, a bounded message pump and a scriptable shell for
// the Windows-side dock tests.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <ostream>

#include "dock/appbar.h"
#include "dock/autohide.h"
#include "shell/bar_state.h"

namespace dock_test {

// Pumps this thread's messages until done() holds or the deadline passes; returns done().
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start <= timeoutMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return done();
}

inline RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

}  // namespace dock_test

inline bool operator==(const RECT& a, const RECT& b) {
  return EqualRect(&a, &b) != 0;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace dock_test {

// A shell that keeps each edge's autohide bar and pulls each QUERYPOS side in by an inset.
struct FakeShell {
  static inline HWND claims[4] = {};
  static inline RECT inset{};
  static inline RECT setPosIn{};
  static inline UINT_PTR stateAnswer = ABS_ALWAYSONTOP;
  static inline int calls[16] = {};
  static inline bool badEdge = false;  // a request named an edge outside 0..3

  static void Reset() {
    for (HWND& claim : claims) claim = nullptr;
    inset = setPosIn = RECT{};
    stateAnswer = ABS_ALWAYSONTOP;
    for (int& c : calls) c = 0;
    badEdge = false;
  }

  static UINT_PTR WINAPI Call(DWORD message, PAPPBARDATA data) {
    if (message < 16) ++calls[message];
    badEdge |= data->uEdge >= 4;
    HWND& claim = claims[data->uEdge & 3];
    switch (message) {
      case ABM_QUERYPOS:
        data->rc = {data->rc.left + inset.left, data->rc.top + inset.top,
                    data->rc.right - inset.right, data->rc.bottom - inset.bottom};
        return TRUE;
      case ABM_SETPOS:
        setPosIn = data->rc;
        return TRUE;
      case ABM_GETSTATE:
        return stateAnswer;
      case ABM_GETAUTOHIDEBAR:
        return reinterpret_cast<UINT_PTR>(claim);
      case ABM_SETAUTOHIDEBAR:
        if (claim && claim != data->hWnd) return FALSE;
        claim = data->lParam ? data->hWnd : nullptr;
        return TRUE;
      default:
        return TRUE;
    }
  }
};

// One bar dialog from the program's template serves a whole suite: under Wine without a
// window manager, hiding or destroying a shown window waits about two seconds.
class BarTest : public ::testing::Test {
 protected:
  static INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
  }
  static void SetUpTestSuite() {
    shared_ =
        CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr, PlainDialogProc, 0);
  }
  void SetUp() override {
    FakeShell::Reset();
    pinnafex::gShellBarMessage = FakeShell::Call;
    bar_ = shared_;
    ASSERT_NE(bar_, nullptr);
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "these checks are for a 1024 x 768 screen";
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768) << "these checks are for a 1024 x 768 screen";
  }
  void TearDown() override {
    // A slide thread moves the window through this thread's queue: let it finish first.
    EXPECT_TRUE(PumpUntil([] { return !pinnafex::SlideRunning(); })) << "a slide never ended";
    pinnafex::gShellBarMessage = SHAppBarMessage;
  }
  // Waits until the bar's window sits at `expected` (a slide may be moving it).
  bool WaitForBarAt(const RECT& expected) {
    return PumpUntil([&] { return WindowRectOf(bar_) == expected && !pinnafex::SlideRunning(); });
  }

  static inline HWND shared_ = nullptr;
  HWND bar_ = nullptr;
};

constexpr RECT kTopShown{0, -20, 1024, 70};
constexpr RECT kLeftShown{0, -20, 120, 768};

}  // namespace dock_test
