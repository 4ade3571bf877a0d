#include "dock/hit_rule.h"

namespace pinnafex {

bool CursorInside(const Rect& window, int x, int y) {
  return window.left <= x && x <= window.right && window.top <= y && y <= window.bottom;
}

bool CursorOnBar(const Rect& window, const Monitor& monitor, int x, int y) {
  return CursorInside(ShownPart(window, monitor), x, y) && x < monitor.rect.right &&
         y < monitor.rect.bottom;
}

HitAction DecideHit(const HitInputs& in) {
  // A tick that cannot see the cursor must not move the bar on a guess.
  if (!in.autohide || !in.cursorKnown) return HitAction::kNone;
  if (in.barHidden) return in.inside ? HitAction::kShow : HitAction::kNone;
  if (in.inside || in.insideSlideTarget || in.slotListOpen || in.menuOrPromptOpen) {
    return HitAction::kNone;
  }
  return HitAction::kHide;
}

}  // namespace pinnafex
