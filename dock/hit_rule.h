// The autohide hit test's decision, taken on every tick.
#pragma once
#include "dock/dock_rects.h"

namespace pinnafex {

// Both ends count: the column just right of the window and the row just below it are inside.
bool CursorInside(const Rect& window, int x, int y);

struct HitInputs {
  bool autohide;
  bool barHidden;
  bool cursorKnown;       // false when the cursor or the window could not be read
  bool inside;            // CursorInside of the bar's window rectangle
  bool slotListOpen;      // some slot combo's list is open
  bool menuOrPromptOpen;  // the context menu or the quit prompt is up
  // CursorInside of the target of a slide under way. A show at the left overshoots its target
  // by two pixels and so leaves a cursor resting on the strip for a moment.
  bool insideSlideTarget = false;
};

enum class HitAction { kNone, kHide, kShow };

HitAction DecideHit(const HitInputs& in);

}  // namespace pinnafex
