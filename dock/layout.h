#pragma once
#include <windows.h>

namespace pinnafex {

void LayoutTop(HWND bar);            // row along the top edge
void LayoutLeft(HWND bar);           // column along the left edge
void ExpandDroppedCombos(HWND bar);  // per tick: enlarge an open slot list, relayout once closed

}  // namespace pinnafex
