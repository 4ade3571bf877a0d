#include "focus/focus_keep.h"

namespace pinnafex {

namespace {

WNDPROC gButtonProc = nullptr;  // the button class's own; every quiet button shares it
HWND gLentBy = nullptr;         // the window in front before the bar took the focus
HWND gLastOutside = nullptr;    // the last window in front that was not the bar's, per tick

bool OwnWindow(HWND window) {
  return window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

bool CursorOn(HWND button) {
  POINT at{};
  RECT rect{};
  GetCursorPos(&at);
  GetWindowRect(button, &rect);
  return PtInRect(&rect, at) != 0;
}

// The button's own press calls SetFocus, which would activate the bar: the press is kept here,
// the button draws it and its parent hears the click as from any button.
LRESULT CALLBACK QuietButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsWindowEnabled(button)) return 0;
      SetCapture(button);
      SendMessageW(button, BM_SETSTATE, TRUE, 0);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == button) SendMessageW(button, BM_SETSTATE, CursorOn(button), 0);
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() != button) return 0;
      {
        const bool clicked = CursorOn(button);
        ReleaseCapture();  // WM_CAPTURECHANGED lifts the button
        if (clicked) {
          SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
        }
      }
      return 0;
    case WM_CAPTURECHANGED:
      SendMessageW(button, BM_SETSTATE, FALSE, 0);
      return 0;
    default:
      return CallWindowProcW(gButtonProc, button, message, wParam, lParam);
  }
}

}  // namespace

void MakeQuietButtons(HWND bar, const int* ids, int count) {
  for (int i = 0; i < count; ++i) {
    HWND button = GetDlgItem(bar, ids[i]);
    if (!button ||
        GetWindowLongPtrW(button, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(QuietButtonProc)) {
      continue;
    }
    gButtonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(QuietButtonProc)));
  }
}

void WatchFocus() {
  HWND front = GetForegroundWindow();
  if (front && !OwnWindow(front)) gLastOutside = front;
}

void LendFocus() {
  // A click may have activated the bar already.
  HWND front = GetForegroundWindow();
  if (front && !OwnWindow(front)) {
    gLentBy = front;
  } else if (!gLentBy) {
    gLentBy = gLastOutside;
  }
}

void ReturnFocus(bool busy) {
  if (!gLentBy || busy) return;
  HWND lentBy = gLentBy;
  gLentBy = nullptr;
  // Only while the bar has it: the user may have gone to another window meanwhile.
  HWND front = GetForegroundWindow();
  if (IsWindow(lentBy) && (!front || OwnWindow(front))) SetForegroundWindow(lentBy);
}

bool FocusLent() {
  return gLentBy != nullptr;
}

}  // namespace pinnafex
