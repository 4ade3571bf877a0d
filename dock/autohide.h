#pragma once
#include <windows.h>

namespace pinnafex {

void ToggleAutohide(HWND bar, HMENU menu);
void AutohideHitTest(HWND bar);
void StartSlide(HWND bar, const RECT& target);

}  // namespace pinnafex
