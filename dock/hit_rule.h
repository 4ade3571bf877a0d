// The autohide hit test's decision, taken on every tick.
#pragma once
#include "dock/dock_rects.h"

namespace pinnafex {

// Both ends count: the column just right of the window and the row just below it are inside.
bool CursorInside(const Rect& window, int x, int y);

// CursorInside of what shows of `window` on its monitor, for a cursor on that monitor: a bar
// at an edge shared with a neighbouring monitor does not answer to a cursor over there.
bool CursorOnBar(const Rect& window, const Monitor& monitor, int x, int y);

struct HitInputs {
  bool autohide;
  bool barHidden;
  bool cursorKnown;       // false when the cursor or the window could not be read
  bool inside;            // CursorOnBar of the bar's window rectangle
  bool slotListOpen;      // some slot combo's list is open
  bool menuOrPromptOpen;  // the context menu or the quit prompt is up
  // CursorOnBar of the target of a slide under way. A show at the left or the right overshoots
  // its target by two pixels and so leaves a cursor resting on the strip for a moment.
  bool insideSlideTarget = false;
};

enum class HitAction { kNone, kHide, kShow };

HitAction DecideHit(const HitInputs& in);

}  // namespace pinnafex
