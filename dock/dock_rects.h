// Where the bar lies at each edge of its monitor: the strip it claims from the shell, its window
// over that claim, and the part of the window that shows. Screen coordinates, right and bottom
// exclusive.
#pragma once
#include "dock/dpi_scale.h"

namespace pinnafex {

struct Rect {
  int left;
  int top;
  int right;
  int bottom;
};

inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Rect& a, const Rect& b) {
  return !(a == b);
}

// The bar's monitor, and the DPI of the bar's window on it.
struct Monitor {
  Rect rect;
  int dpi = kBaseDpi;
};

// Where and how the bar docks, handed in by the bar's owner with every request.
struct DockSpot {
  int edge;         // as the shell numbers edges (DockEdge)
  bool autohide;    // the shell granted this bar the edge's autohide claim
  bool hidden;      // an autohiding bar is to sit at its 2-pixel strip
  Monitor monitor;  // the bar's own
  // What the other bars leave of the monitor at this edge (see AreaBeside): the bar lies and
  // shows only inside it. The shell's last answer, kept by the owner.
  Rect area{};
};

// The area as a monitor of the bar's DPI: what of the bar shows is cut to it.
inline Monitor ShownArea(const DockSpot& spot) {
  return {spot.area, spot.monitor.dpi};
}

// At 96 DPI; both scale with the monitor's DPI.
constexpr int kTopOffset = -20;  // the window's top 20 pixels, its caption, lie above its claim
constexpr int kHiddenStrip = 2;  // pixels an autohidden bar leaves on its monitor

// Sums of coordinates are taken wide and held within int, so no input can overflow.
int ClampCoordinate(long long v);

// Width and height of a rectangle, held within int.
int RectWidth(const Rect& r);
int RectHeight(const Rect& r);

// How thick the bar is across its edge: the window's width at the left and right, its height
// less the caption at the top and bottom. An edge outside 0..3 counts as the left.
int BarThickness(int edge, const Rect& window, int dpi);

// The strip the bar asks the shell for at `edge`: the monitor's whole side, `window`'s thickness
// deep. Only `window`'s size matters. The hidden place is never asked for: beside a taskbar the
// shell would move it inside the taskbar.
Rect ProposeClaim(int edge, const Rect& window, const Monitor& monitor);

// After the shell may have moved `claim`: the side away from the edge put back at `thickness`.
Rect KeepThickness(int edge, const Rect& claim, int thickness);

// The monitor less the other bars, as the shell's answer `granted` for a shown claim tells it:
// its side at `edge` is the inner edge of the bars that hold that edge (the monitor's own where
// none does), its length the granted one; the far side stays the monitor's.
Rect AreaBeside(int edge, const Rect& monitor, const Rect& granted);

// How long the bar is along its edge: the area's height at the left and right, else its width.
int LengthAlong(int edge, const Rect& area);

// An autohiding bar's hidden claim: `shown` pushed out beyond the area's side all but the hidden
// strip, so the strip lies against the other bars rather than under them.
Rect HideClaim(int edge, const Rect& shown, int dpi);

// Where a slide to or from the hidden place starts: `at` while it lies on the way between the
// window's shown place `shown` and its hidden one `hidden` (at the same edge, the same size),
// else the shown place, as after a move to another edge, monitor or size.
Rect SlideFrom(int edge, const Rect& at, const Rect& shown, const Rect& hidden);

// The window over a claim: its caption above the claim's top.
Rect WindowOverClaim(const Rect& claim, int dpi);

// What of `window` shows: the part on its monitor (or in its area) below the caption. Left lies
// beyond right, or top below bottom, when nothing shows.
Rect ShownPart(const Rect& window, const Monitor& monitor);

}  // namespace pinnafex
