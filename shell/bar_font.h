// The bar's controls keep the template's font at the DPI of the bar's window.
#pragma once
#include <windows.h>

namespace pinnafex {

// Gives the bar's controls the template's font made for `dpi`, unless they have it. The font
// made last lives as long as the process; the one it replaces is deleted.
void FitBarFont(HWND bar, int dpi);

}  // namespace pinnafex
