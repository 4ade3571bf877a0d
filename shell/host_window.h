// The hidden host window: its creation runs the bar dialog from start to quit.
#pragma once
#include <windows.h>

namespace pinnafex {

bool RegisterHostClass(HINSTANCE instance);
HWND CreateHostWindow(HINSTANCE instance);

}  // namespace pinnafex
