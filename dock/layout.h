#pragma once
#include <windows.h>

#include "dock/dock_rects.h"

namespace pinnafex {

// Sizes the bar for `edge` of `monitor` (a row along the top or the bottom, a column along the
// left or the right) and places its controls; docking is left to the caller.
void LayoutBar(HWND bar, int edge, bool clockHidden, const Monitor& monitor);
// Per tick: enlarges an open slot list; true once an enlarged list has closed and the bar is
// to be laid out again.
bool ExpandDroppedCombos(HWND bar, int edge, int dpi);

}  // namespace pinnafex
