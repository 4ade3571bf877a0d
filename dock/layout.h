#pragma once
#include <windows.h>

#include "dock/dock_rects.h"

namespace pinnafex {

// Sizes the bar for `edge` of `monitor`: a row along the top or the bottom, a column along the
// left or the right. Docking is left to the caller.
void SizeBar(HWND bar, int edge, const Monitor& monitor);
// Places the bar's controls: the clock group, then as many slot groups as fit in `length`
// pixels along the edge (the length the shell granted, never the monitor's).
void PlaceGroups(HWND bar, int edge, int length, bool clockHidden, int dpi);
// Per tick: enlarges an open slot list, kept above and below within `area` (screen
// coordinates); true once an enlarged list has closed and the bar is to be laid out again.
bool ExpandDroppedCombos(HWND bar, int edge, int dpi, const Rect& area);

}  // namespace pinnafex
