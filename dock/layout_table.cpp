#include "dock/layout_table.h"

#include <algorithm>

#include "dock/dock_rects.h"
#include "base/bar_ids.h"

namespace pinnafex {

namespace {

// Columns: top with the clock shown, left with the clock shown, either shape with it hidden
// (the hidden clock group stays at its place in the row's cell 0).
constexpr Place kClockPlaces[kClockControlCount][3] = {
    {{0, 2, 95, 66}, {5, 2, 106, 66}, {0, 2, 95, 66}},       // clock frame
    {{10, 16, 80, 23}, {17, 16, 84, 23}, {10, 16, 80, 23}},  // EXIT button
    {{10, 43, 75, 20}, {17, 43, 86, 20}, {10, 43, 75, 20}},  // clock field
};

// Places in cell 0; each later cell moves one pitch along the shape's axis.
constexpr Place kTopSlotParts[kSlotPartCount] = {
    {0, 2, 95, 66},    // slot frame
    {50, 16, 35, 23},  // Pop button
    {10, 16, 35, 23},  // Push button
    {10, 43, 75, 20},  // slot combo
};
constexpr Place kLeftSlotParts[kSlotPartCount] = {
    {5, 2, 106, 66},
    {62, 16, 38, 23},
    {17, 16, 38, 23},
    {17, 43, 86, 20},
};

// A slot group is shown only if its cell ends within the screen: 98 (k + 1) <= W in the row,
// 66 (k + 1) + 2 <= H in the column.
struct FitRule {
  int pitch;
  int margin;
};
constexpr FitRule kFitTop{kTopPitch, 0};
constexpr FitRule kFitLeft{kLeftPitch, 2};

struct EdgeShape {
  Shape shape;
  bool mirrorX;
  bool mirrorY;
};
constexpr EdgeShape kEdgeShapes[kEdgeCount] = {
    {Shape::kLeft, false, false},  // left
    {Shape::kTop, false, false},   // top
    {Shape::kLeft, true, false},   // right
    {Shape::kTop, false, true},    // bottom
};

const EdgeShape& EdgeShapeOf(int edge) {
  return kEdgeShapes[IsEdge(edge) ? edge : kEdgeLeft];
}

int Mirrored(int v, int size, int extent) {
  return ClampCoordinate(static_cast<long long>(extent) - v - size);
}

}  // namespace

Shape ShapeOf(int edge) {
  return EdgeShapeOf(edge).shape;
}

Place PlaceAtEdge(int edge, const Place& at, int width, int height) {
  const EdgeShape& e = EdgeShapeOf(edge);
  Place out = at;
  if (e.mirrorX) out.x = Mirrored(at.x, at.width, width);
  if (e.mirrorY) out.y = Mirrored(at.y, at.height, height);
  return out;
}

Place ClockPlace(Shape shape, bool clockHidden, int control) {
  if (control < 0 || control >= kClockControlCount) return {};
  const int column = clockHidden ? 2 : shape == Shape::kTop ? 0 : 1;
  return kClockPlaces[control][column];
}

Place SlotPlace(Shape shape, int cell, int part) {
  if (part < 0 || part >= kSlotPartCount || cell < 0 || cell >= kCellCount) return {};
  if (shape == Shape::kTop) {
    Place p = kTopSlotParts[part];
    p.x += kTopPitch * cell;
    return p;
  }
  Place p = kLeftSlotParts[part];
  p.y += kLeftPitch * cell;
  return p;
}

int SlotCell(int slot, bool clockHidden) {
  return clockHidden ? slot : slot + 1;
}

int ShownSlotCount(Shape shape, int extent, bool clockHidden, int dpi) {
  const FitRule& fit = shape == Shape::kTop ? kFitTop : kFitLeft;
  int shown = 1;  // slot 0 whatever the screen
  while (shown < kSlotCount) {
    const long long end = static_cast<long long>(fit.pitch) * (SlotCell(shown, clockHidden) + 1);
    if (ScaleToDpi(end + fit.margin, dpi) > extent) break;
    ++shown;
  }
  return shown;
}

Place ScalePlace(const Place& at, int dpi) {
  const int x = ScaleToDpi(at.x, dpi);
  const int y = ScaleToDpi(at.y, dpi);
  const long long right = ScaleToDpi(static_cast<long long>(at.x) + at.width, dpi);
  const long long bottom = ScaleToDpi(static_cast<long long>(at.y) + at.height, dpi);
  return {x, y, ClampCoordinate(right - x), ClampCoordinate(bottom - y)};
}

Place KeepBetween(const Place& at, int top, int bottom) {
  const long long from = at.y < top ? top : at.y;
  const long long to =
      std::min(static_cast<long long>(at.y) + at.height, static_cast<long long>(bottom));
  return {at.x, static_cast<int>(from), at.width, ClampCoordinate(std::max(to - from, 0LL))};
}

ComboTick ComboTickAction(long long droppedState, int expanded) {
  if (droppedState == 1 && !expanded) return ComboTick::kEnlarge;
  if (droppedState != 1 && expanded) return ComboTick::kRestore;
  return ComboTick::kNone;
}

}  // namespace pinnafex
