// The dock's own process-wide flags, kept on the main thread.
#pragma once
#include "base/bar_ids.h"

namespace pinnafex {

struct DockState {
  int barHidden = 0;                   // the autohiding bar is to sit at its 2-pixel strip
  int comboExpanded[kSlotCount] = {};  // the slot's combo is enlarged while its list is open
};

extern DockState gDock;

}  // namespace pinnafex
