// Where the bar lies at each edge: the rectangle proposed to the shell, the size kept after the
// shell's answer, and the start of a re-dock. Screen coordinates, right and bottom exclusive.
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

struct ScreenSize {
  int width;
  int height;
  int dpi = kBaseDpi;  // of the bar's window on this screen
};

// At 96 DPI; both scale with the screen's DPI.
constexpr int kTopOffset = -20;  // the bar's top edge sits 20 pixels above the screen
constexpr int kHiddenStrip = 2;  // pixels an autohidden bar leaves on the screen

// Sums of coordinates are taken wide and held within int, so no input can overflow.
int ClampCoordinate(long long v);

// Width and height of a rectangle, held within int.
int RectWidth(const Rect& r);
int RectHeight(const Rect& r);

// The hidden place counts only while both flags are exactly 1.
bool ProposesHidden(bool autohide, bool barHidden);

// The rectangle to propose for a bar of `window`'s size at `edge`; only the size of `window`
// matters, except that an edge outside 0..3 gets `window` back unchanged.
Rect ProposeDockRect(int edge, const Rect& window, bool hidden, ScreenSize screen);

// After the shell may have moved `shell`: the side away from the edge is put back at the bar's
// size. An edge outside 0..3 keeps `shell` as it is.
Rect KeepBarSize(int edge, const Rect& shell, int width, int height);

// A re-dock starts from the whole screen cut down to the bar's size at the edge.
Rect RedockStartRect(int edge, int width, int height, ScreenSize screen);

}  // namespace pinnafex
