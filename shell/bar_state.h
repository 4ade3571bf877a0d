// Process-wide state of the bar, kept on the main thread.
#pragma once
#include "base/bar_ids.h"

namespace pinnafex {

struct BarState {
  int autohide = 0;          // saved as AUTOHIDE
  int clockHidden = 0;       // saved as NOCLOCK
  int edge = kEdgeTop;       // saved as STARTPOSITON; main thread only (a slide gets a copy)
  int hotkeys = 0;           // saved as HOTKEYS: the keys that paste a slot are taken
  int menuOrPromptOpen = 0;  // the context menu or the quit prompt is up: no autohide meanwhile
};

extern BarState gBar;

}  // namespace pinnafex
