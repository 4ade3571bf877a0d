#include "dock/appbar.h"

#include "dock/autohide.h"
#include "dock/dock_rects.h"
#include "dock/dock_state.h"
#include "dock/notify_table.h"
#include "dock/win_geometry.h"
#include "shell/bar_state.h"
#include "base/bar_ids.h"

namespace pinnafex {

ShellBarMessage gShellBarMessage = SHAppBarMessage;

namespace {

void SetZOrder(HWND bar, HWND order) {
  SetWindowPos(bar, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

APPBARDATA BarRecord(HWND bar) {
  APPBARDATA record{};
  record.cbSize = sizeof record;
  record.hWnd = bar;
  return record;
}

int RegisterBar(HWND bar, int on) {
  APPBARDATA record = BarRecord(bar);
  if (!on) {
    gShellBarMessage(ABM_REMOVE, &record);
    return 1;
  }
  record.uCallbackMessage = kBarNotifyMessage;
  if (!gShellBarMessage(ABM_NEW, &record)) return 0;
  RECT now{};
  GetWindowRect(bar, &now);
  PlaceBar(gBar.edge, now, &record);
  return 1;
}

UINT_PTR PlaceBar(int edge, RECT rect, APPBARDATA* record) {
  record->rc = rect;
  record->uEdge = static_cast<UINT>(edge);
  const Rect given = ToRect(rect);
  const int width = RectWidth(given);
  const int height = RectHeight(given);
  const bool hidden = ProposesHidden(gBar.autohide, gDock.barHidden);
  record->rc = ToRECT(ProposeDockRect(edge, given, hidden, CurrentScreen(record->hWnd)));
  gShellBarMessage(ABM_QUERYPOS, record);
  record->rc = ToRECT(KeepBarSize(edge, ToRect(record->rc), width, height));
  if (gBar.autohide) {
    // An autohiding bar slides there and claims no screen space.
    StartSlide(record->hWnd, record->rc);
    SetRectEmpty(&record->rc);
  } else {
    const Rect to = ToRect(record->rc);
    MoveWindow(record->hWnd, to.left, to.top, RectWidth(to), RectHeight(to), TRUE);
  }
  return gShellBarMessage(ABM_SETPOS, record);
}

UINT_PTR RedockBar(APPBARDATA* record) {
  RECT now{};
  GetWindowRect(record->hWnd, &now);
  const Rect bar = ToRect(now);
  const Rect start =
      RedockStartRect(gBar.edge, RectWidth(bar), RectHeight(bar), CurrentScreen(record->hWnd));
  return PlaceBar(gBar.edge, ToRECT(start), record);
}

void OnBarNotify(HWND bar, WPARAM code, LPARAM flag) {
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
  if (action.redock) RedockBar(&record);
}

}  // namespace pinnafex
