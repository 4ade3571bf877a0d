// Autohide: the per-tick cursor test and the slide on its own thread.
#pragma once
#include <windows.h>

#include "dock/dock_rects.h"
#include "dock/hit_rule.h"

namespace pinnafex {

// Per tick, for an autohiding bar: whether it is to hide, show or stay as it is. Only what of
// the bar shows in its area counts: a cursor on the taskbar beside it is not on the bar.
HitAction AutohideHit(HWND bar, const DockSpot& spot, bool menuOrPromptOpen);

// Slides the bar from `from` to `target` on a thread of its own; the thread gets a copy of the
// spot's edge and area. Both are places the bar appears at (see AppearAt).
void StartSlide(HWND bar, const Rect& from, const Rect& target, const DockSpot& spot);

// True while some slot combo's list is open.
bool AnySlotListOpen(HWND bar);

// True while a slide thread moves the bar.
bool SlideRunning();

// Makes the bar appear at `place`: its window stays where it lies, on its own monitor, and its
// region shows only what of `place` lies in `area` (the bar's area) below the caption. So a
// hidden or sliding bar never moves its window onto a neighbouring monitor (whose DPI the
// system would hand it), and neither the caption nor a hidden bar shows beside its area.
void AppearAt(HWND bar, const Rect& place, const Monitor& area);

// Where the bar appears now (the last AppearAt).
Rect AppearedAt();

}  // namespace pinnafex
