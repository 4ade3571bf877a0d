// The platform's rectangles in the dock's own terms, and the DPI of a window.
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

// The DPI of `monitor` (Windows 8.1 on), else WindowDpi. The bar lays itself out at its own
// monitor's: a hidden bar mostly lies on the neighbour, whose DPI the window would be told.
int MonitorDpi(const Rect& monitor, HWND window);

}  // namespace pinnafex
