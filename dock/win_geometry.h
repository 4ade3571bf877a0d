// The platform's rectangles and screen size in the dock's own terms.
#pragma once
#include <windows.h>

#include "dock/dock_rects.h"

namespace pinnafex {

inline Rect ToRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}
inline RECT ToRECT(const Rect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// The DPI `window` is drawn at: the platform's per-window answer where it has one (Windows 10
// 1607 on), else the screen's logical pixels per inch.
int WindowDpi(HWND window);

// Read anew at every use: the screen may change while the bar runs.
inline ScreenSize ScreenAt(int dpi) {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), dpi};
}

}  // namespace pinnafex
