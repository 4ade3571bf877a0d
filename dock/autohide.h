// Autohide: the per-tick cursor test and the slide on its own thread.
#pragma once
#include <windows.h>

#include "dock/hit_rule.h"

namespace pinnafex {

// Per tick, for an autohiding bar: whether it is to hide, show or stay as it is.
HitAction AutohideHit(HWND bar, bool hidden, bool menuOrPromptOpen);

// Slides the bar to `target` on a thread of its own; the thread gets a copy of `edge`.
void StartSlide(HWND bar, const RECT& target, int edge);

// True while a slide thread moves the bar.
bool SlideRunning();

}  // namespace pinnafex
