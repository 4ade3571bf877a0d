#include "dock/dock_rects.h"

#include <algorithm>
#include <climits>

#include "base/bar_ids.h"

namespace pinnafex {

namespace {

// Each edge as the sides of the claim: the one against the monitor's side, the one away from
// it, and which way is inwards. The right and bottom edges mirror the left and top ones.
struct SideRule {
  int Rect::*outer;
  int Rect::*inner;
  int inward;   // +1: inner = outer + thickness; -1: inner = outer - thickness
  bool across;  // the thickness is a width, else a height
};
constexpr SideRule kSides[kEdgeCount] = {
    {&Rect::left, &Rect::right, +1, true},   // left
    {&Rect::top, &Rect::bottom, +1, false},  // top
    {&Rect::right, &Rect::left, -1, true},   // right
    {&Rect::bottom, &Rect::top, -1, false},  // bottom
};

const SideRule& SideOf(int edge) {
  return kSides[IsEdge(edge) ? edge : kEdgeLeft];
}

int CaptionHeight(int dpi) {
  return -ScaleToDpi(kTopOffset, dpi);
}

}  // namespace

int ClampCoordinate(long long v) {
  if (v < INT_MIN) return INT_MIN;
  if (v > INT_MAX) return INT_MAX;
  return static_cast<int>(v);
}

int RectWidth(const Rect& r) {
  return ClampCoordinate(static_cast<long long>(r.right) - r.left);
}
int RectHeight(const Rect& r) {
  return ClampCoordinate(static_cast<long long>(r.bottom) - r.top);
}

int BarThickness(int edge, const Rect& window, int dpi) {
  if (SideOf(edge).across) return RectWidth(window);
  return ClampCoordinate(static_cast<long long>(RectHeight(window)) - CaptionHeight(dpi));
}

Rect ProposeClaim(int edge, const Rect& window, const Monitor& monitor) {
  return KeepThickness(edge, monitor.rect, BarThickness(edge, window, monitor.dpi));
}

Rect AreaBeside(int edge, const Rect& monitor, const Rect& granted) {
  const SideRule& side = SideOf(edge);
  Rect area = granted;
  area.*side.inner = monitor.*side.inner;
  return area;
}

int LengthAlong(int edge, const Rect& area) {
  return SideOf(edge).across ? RectHeight(area) : RectWidth(area);
}

Rect HideClaim(int edge, const Rect& shown, int dpi) {
  const SideRule& side = SideOf(edge);
  const long long thickness = side.across ? RectWidth(shown) : RectHeight(shown);
  const long long out = -side.inward * (thickness - ScaleToDpi(kHiddenStrip, dpi));
  Rect claim = shown;
  claim.*side.outer = ClampCoordinate(claim.*side.outer + out);
  claim.*side.inner = ClampCoordinate(claim.*side.inner + out);
  return claim;
}

Rect KeepThickness(int edge, const Rect& claim, int thickness) {
  const SideRule& side = SideOf(edge);
  Rect out = claim;
  out.*side.inner =
      ClampCoordinate(out.*side.outer + static_cast<long long>(side.inward) * thickness);
  return out;
}

Rect SlideFrom(int edge, const Rect& at, const Rect& shown, const Rect& hidden) {
  const bool across = SideOf(edge).across;
  int Rect::*const moving = across ? &Rect::left : &Rect::top;
  int Rect::*const fixed = across ? &Rect::top : &Rect::left;
  const bool sameTrack = RectWidth(at) == RectWidth(shown) && RectHeight(at) == RectHeight(shown) &&
                         at.*fixed == shown.*fixed;
  const int nearest = std::min(shown.*moving, hidden.*moving);
  const int farthest = std::max(shown.*moving, hidden.*moving);
  return sameTrack && nearest <= at.*moving && at.*moving <= farthest ? at : shown;
}

Rect WindowOverClaim(const Rect& claim, int dpi) {
  Rect window = claim;
  window.top = ClampCoordinate(static_cast<long long>(claim.top) - CaptionHeight(dpi));
  return window;
}

Rect ShownPart(const Rect& window, const Monitor& monitor) {
  const Rect& m = monitor.rect;
  const int belowCaption =
      ClampCoordinate(static_cast<long long>(window.top) + CaptionHeight(monitor.dpi));
  return {std::max(window.left, m.left), std::max(belowCaption, m.top),
          std::min(window.right, m.right), std::min(window.bottom, m.bottom)};
}

}  // namespace pinnafex
