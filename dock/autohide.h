// Autohide: the per-tick cursor test and the slide on its own thread.
#pragma once
#include <windows.h>

#include "dock/dock_rects.h"
#include "dock/hit_rule.h"

namespace pinnafex {

// Per tick, for an autohiding bar: whether it is to hide, show or stay as it is. Only what of
// the bar shows in its area counts: a cursor on the taskbar beside it is not on the bar.
HitAction AutohideHit(HWND bar, const DockSpot& spot, bool menuOrPromptOpen);

// Slides the bar to `target` on a thread of its own; the thread gets a copy of the spot's edge
// and area.
void StartSlide(HWND bar, const Rect& target, const DockSpot& spot);

// True while some slot combo's list is open.
bool AnySlotListOpen(HWND bar);

// True while a slide thread moves the bar.
bool SlideRunning();

// Lets the window at `window` show only its part in `monitor` (the bar's area) below its
// caption, so neither the caption nor a hidden bar shows on a neighbouring monitor or over
// another bar.
void ClipToShownPart(HWND bar, const Rect& window, const Monitor& monitor);

}  // namespace pinnafex
