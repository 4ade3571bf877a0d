#pragma once
#include <windows.h>

namespace pinnafex {

// Sizes the bar for `edge` (a row along the top, else a column along the left) and places its
// controls; docking is left to the caller.
void LayoutBar(HWND bar, int edge, bool clockHidden, int dpi);
// Per tick: enlarges an open slot list; true once an enlarged list has closed and the bar is
// to be laid out again.
bool ExpandDroppedCombos(HWND bar, int dpi);

}  // namespace pinnafex
