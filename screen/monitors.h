// The monitors the system has now, and the one the bar is to be on.
#pragma once
#include "screen/screen_pick.h"

namespace pinnafex {

// The monitors present, in the system's order; returns how many. Never 0: without an answer
// from the system, the primary screen's size stands for it.
int ListScreens(ScreenEntry (&out)[kMaxScreens]);

// The monitor PickScreen chooses for a saved identity and output name.
ScreenEntry FindScreen(const char* wantedId, const char* wantedName);

}  // namespace pinnafex
