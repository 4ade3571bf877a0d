// Autohide: the menu switch, the per-tick cursor test and the slide on its own thread.
#pragma once
#include <windows.h>

#include "dock/slide_loop.h"

namespace pinnafex {

void ToggleAutohide(HWND bar, HMENU menu);
// Gives up the bar's autohide claim at `edge`; the autohide flag is left as it is.
void ReleaseAutohideClaim(HWND bar, int edge);
void AutohideHitTest(HWND bar);
void StartSlide(HWND bar, const RECT& target);

// The slide thread's procedure over the process-wide slide record.
void SlideBar(SlideRecord* record);

// True while a slide thread moves the bar.
bool SlideRunning();

}  // namespace pinnafex
