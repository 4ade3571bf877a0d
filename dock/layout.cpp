#include "dock/layout.h"

#include "dock/layout_table.h"
#include "dock/win_geometry.h"
#include "base/bar_ids.h"

namespace pinnafex {

namespace {

static_assert(kShownFlags == (SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOZORDER), "shown flags");
static_assert(kHiddenFlags == (SWP_HIDEWINDOW | SWP_FRAMECHANGED | SWP_NOZORDER), "hidden flags");

constexpr int kClockIds[kClockControlCount] = {kClockFrameId, kExitButtonId, kClockFieldId};
// The slot group's parts in the order they are placed; ids always come from the table.
constexpr const int (*kSlotPartIds[kSlotPartCount])[kSlotCount] = {&kSlotFrameIds, &kPopButtonIds,
                                                                   &kPushButtonIds, &kSlotComboIds};

void PlaceControl(HWND bar, int id, const Place& at, bool shown) {
  SetWindowPos(GetDlgItem(bar, id), nullptr, at.x, at.y, at.width, at.height,
               shown ? kShownFlags : kHiddenFlags);
}

// The bar's slot combos, looked up once per bar window: the tick checks them, and under Wine
// each lookup is a round trip to the window server.
HWND SlotCombo(HWND bar, int slot) {
  static HWND cachedBar = nullptr;
  static HWND combos[kSlotCount];
  if (bar != cachedBar) {
    for (int i = 0; i < kSlotCount; ++i) combos[i] = GetDlgItem(bar, kSlotComboIds[i]);
    cachedBar = bar;
  }
  return combos[slot];
}

// Per slot: its combo is enlarged while its list is open.
bool gComboExpanded[kSlotCount] = {};

// The bar's place before its re-dock lies at its edge of its own monitor: the move changes no
// DPI.
void PlaceBarWindow(HWND bar, int edge, const Place& at96, const Monitor& monitor) {
  const Place at = PlaceAtEdge(edge, ScalePlace(at96, monitor.dpi), RectWidth(monitor.rect),
                               RectHeight(monitor.rect));
  // Never activated: the window the user works in stays in front.
  SetWindowPos(bar, HWND_TOPMOST, ClampCoordinate(static_cast<long long>(monitor.rect.left) + at.x),
               ClampCoordinate(static_cast<long long>(monitor.rect.top) + at.y), at.width,
               at.height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

}  // namespace

void SizeBar(HWND bar, int edge, const Monitor& monitor) {
  PlaceBarWindow(bar, edge, ShapeOf(edge) == Shape::kTop ? kTopBarPlace : kLeftBarPlace, monitor);
}

// Each group reads the same at every edge: Push left of Pop, the frame's caption on top.
void PlaceGroups(HWND bar, int edge, int length, bool clockHidden, int dpi) {
  const Shape shape = ShapeOf(edge);
  for (int c = 0; c < kClockControlCount; ++c) {
    PlaceControl(bar, kClockIds[c], ScalePlace(ClockPlace(shape, clockHidden, c), dpi),
                 !clockHidden);
  }
  const int shownSlots = ShownSlotCount(shape, length, clockHidden, dpi);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const int cell = SlotCell(slot, clockHidden);
    for (int part = 0; part < kSlotPartCount; ++part) {
      PlaceControl(bar, (*kSlotPartIds[part])[slot], ScalePlace(SlotPlace(shape, cell, part), dpi),
                   slot < shownSlots);
    }
  }
}

bool ExpandDroppedCombos(HWND bar, int edge, int dpi, const Rect& area) {
  bool closed = false;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    HWND combo = SlotCombo(bar, slot);
    const LRESULT dropped = SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0);
    switch (ComboTickAction(dropped, gComboExpanded[slot])) {
      case ComboTick::kEnlarge: {
        gComboExpanded[slot] = 1;
        RECT client{};
        GetClientRect(bar, &client);
        POINT origin{0, 0};
        ClientToScreen(bar, &origin);
        // Beside the bar towards the monitor's inside, never under another bar.
        const Place at =
            PlaceAtEdge(edge, ScalePlace(kExpandedComboPlace, dpi), client.right, client.bottom);
        PlaceControl(bar, kSlotComboIds[slot],
                     KeepBetween(at, area.top - origin.y, area.bottom - origin.y), true);
        // The move closed the list: open it again at the new size.
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        break;
      }
      case ComboTick::kRestore:
        gComboExpanded[slot] = 0;
        closed = true;
        break;
      case ComboTick::kNone:
        break;
    }
  }
  return closed;
}

}  // namespace pinnafex
