// Where the bar window and its controls go in the two shapes, and how many slot groups fit.
// Control places are client coordinates of the bar; the bar's own place is in screen ones.
#pragma once
#include "dock/dpi_scale.h"

namespace pinnafex {

struct Place {
  int x;
  int y;
  int width;
  int height;
};

inline bool operator==(const Place& a, const Place& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

enum class Shape { kTop, kLeft };  // a row (top and bottom edges), a column (left and right)

Shape ShapeOf(int edge);

// A place (at the bar's DPI) as it lies at `edge`: the right edge mirrors the left one across
// `width`, the bottom edge the top one across `height`. The bar's own place mirrors across its
// monitor, the enlarged slot list across the bar's client area; the groups keep their places.
Place PlaceAtEdge(int edge, const Place& at, int width, int height);

// SetWindowPos flag words for a control: SWP_SHOWWINDOW or SWP_HIDEWINDOW, each with
// SWP_FRAMECHANGED | SWP_NOZORDER. A hidden control is still moved and sized.
constexpr unsigned kShownFlags = 100;
constexpr unsigned kHiddenFlags = 164;

constexpr int kTopPitch = 98;   // cell to cell in the row
constexpr int kLeftPitch = 66;  // cell to cell in the column
constexpr int kCellCount = 21;  // the clock's cell and twenty slot cells

// The bar before its re-dock; the dock keeps the height of the row and the width of the column.
constexpr Place kTopBarPlace{2, -20, 50, 90};
constexpr Place kLeftBarPlace{-6, -25, 120, 550};

// An open slot list is shown large at this place in either shape (its height includes the list),
// mirrored as the other places are.
constexpr Place kExpandedComboPlace{150, 70, 500, 500};

// The clock group, in this order: clock frame 133, EXIT button 134, clock field 135.
constexpr int kClockControlCount = 3;
// A slot group, in the order it is placed: slot frame, Pop button, Push button, slot combo.
constexpr int kSlotPartCount = 4;

Place ClockPlace(Shape shape, bool clockHidden, int control);
Place SlotPlace(Shape shape, int cell, int part);

// The clock takes cell 0 while shown; the slot groups follow it.
int SlotCell(int slot, bool clockHidden);

// How many slot groups, from slot 0 on, are shown on a monitor `extent` pixels wide (row) or
// high (column) at `dpi`. Slot 0 always is; the others only while their whole cell lies on the
// screen.
int ShownSlotCount(Shape shape, int extent, bool clockHidden, int dpi = kBaseDpi);

// `at` cut so that it starts no higher than `top` and ends no lower than `bottom`.
Place KeepBetween(const Place& at, int top, int bottom);

// A place of the tables at `dpi`: its sides are scaled, so neighbours stay neighbours.
Place ScalePlace(const Place& at, int dpi);

// The per-tick step for one slot combo from its CB_GETDROPPEDSTATE answer and its
// combo-expanded flag.
enum class ComboTick { kNone, kEnlarge, kRestore };
ComboTick ComboTickAction(long long droppedState, int expanded);

}  // namespace pinnafex
