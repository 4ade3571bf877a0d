#include "dock/appbar.h"

#include "dock/autohide.h"
#include "dock/dock_rects.h"
#include "dock/notify_table.h"
#include "dock/win_geometry.h"
#include "base/bar_ids.h"

namespace pinnafex {

ShellBarMessage gShellBarMessage = SHAppBarMessage;

namespace {

void SetZOrder(HWND bar, HWND order) {
  SetWindowPos(bar, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

APPBARDATA BarRecord(HWND bar) {
  APPBARDATA record{};
  record.cbSize = sizeof record;
  record.hWnd = bar;
  return record;
}

// Negotiates `rect` at the spot's edge; `record` ends holding what was claimed.
void PlaceBar(const DockSpot& spot, RECT rect, APPBARDATA* record) {
  const int edge = spot.edge;
  record->rc = rect;
  record->uEdge = static_cast<UINT>(edge);
  const Rect given = ToRect(rect);
  const int width = RectWidth(given);
  const int height = RectHeight(given);
  const bool hidden = ProposesHidden(spot.autohide, spot.hidden);
  record->rc = ToRECT(ProposeDockRect(edge, given, hidden, ScreenAt(spot.dpi)));
  gShellBarMessage(ABM_QUERYPOS, record);
  record->rc = ToRECT(KeepBarSize(edge, ToRect(record->rc), width, height));
  if (spot.autohide) {
    // An autohiding bar slides there and claims no screen space.
    StartSlide(record->hWnd, record->rc, edge);
    SetRectEmpty(&record->rc);
  } else {
    const Rect to = ToRect(record->rc);
    MoveWindow(record->hWnd, to.left, to.top, RectWidth(to), RectHeight(to), TRUE);
  }
  gShellBarMessage(ABM_SETPOS, record);
}

}  // namespace

bool RegisterBar(HWND bar) {
  APPBARDATA record = BarRecord(bar);
  record.uCallbackMessage = kBarNotifyMessage;
  return gShellBarMessage(ABM_NEW, &record) != 0;
}

void UnregisterBar(HWND bar) {
  APPBARDATA record = BarRecord(bar);
  gShellBarMessage(ABM_REMOVE, &record);
}

void RedockBar(HWND bar, const DockSpot& spot) {
  RECT now{};
  GetWindowRect(bar, &now);
  const Rect at = ToRect(now);
  const Rect start = RedockStartRect(spot.edge, RectWidth(at), RectHeight(at), ScreenAt(spot.dpi));
  APPBARDATA record = BarRecord(bar);
  PlaceBar(spot, ToRECT(start), &record);
}

AutohideClaim ClaimAutohide(HWND bar, int edge, bool on) {
  APPBARDATA record = BarRecord(bar);
  record.uEdge = static_cast<UINT>(edge);
  const HWND holder = reinterpret_cast<HWND>(gShellBarMessage(ABM_GETAUTOHIDEBAR, &record));
  if (holder && holder != bar) return AutohideClaim::kHeldElsewhere;
  record.lParam = on;
  const bool granted = gShellBarMessage(ABM_SETAUTOHIDEBAR, &record) != 0;
  return on && granted ? AutohideClaim::kOn : AutohideClaim::kOff;
}

bool OnBarNotify(HWND bar, WPARAM code, LPARAM flag) {
  APPBARDATA record = BarRecord(bar);
  const NotifyAction action = BarNotifyAction(code, flag != 0);
  if (action.zOrder != ZOrderRule::kNone) {
    switch (ZOrderFor(action.zOrder, gShellBarMessage(ABM_GETSTATE, &record))) {
      case ZOrder::kTopmost:
        SetZOrder(bar, HWND_TOPMOST);
        break;
      case ZOrder::kBottom:
        SetZOrder(bar, HWND_BOTTOM);
        break;
      case ZOrder::kKeep:
        break;
    }
  }
  return action.redock;
}

}  // namespace pinnafex
