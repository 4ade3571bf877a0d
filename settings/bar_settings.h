// The bar's settings under the program's key: read when the bar starts, written when it ends
// (a confirmed quit or the end of the session).
#pragma once
#include "base/bar_ids.h"

namespace pinnafex {

struct BarSettings {
  bool autohide = false;     // AUTOHIDE
  bool clockHidden = false;  // NOCLOCK
  int edge = kEdgeTop;       // STARTPOSITON: the bar lays itself out at the top or the left
  bool hotkeys = false;      // HOTKEYS: the keys that paste a slot are taken
  bool keepSlots = false;    // KEEPSLOTS: the slots are saved and come back at start
};

// Each value read in range; a missing or unreadable one takes its default.
BarSettings ReadBarSettings();
// Every value, as decimal text.
void WriteBarSettings(const BarSettings& settings);

}  // namespace pinnafex
