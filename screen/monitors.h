// The monitors the system has now, and the one the bar is to be on.
#pragma once
#include "screen/screen_pick.h"

namespace pinnafex {

// The monitors present, in the system's order; returns how many. Never 0: without an answer
// from the system, the primary screen's size stands for it.
int ListScreens(ScreenEntry (&out)[kMaxScreens]);

// The monitor named `wanted` while it is present, else the primary.
ScreenEntry FindScreen(const char* wanted);

}  // namespace pinnafex
