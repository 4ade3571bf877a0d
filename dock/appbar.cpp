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

// Negotiates the bar's place for a window of `window`'s size; `record` ends holding the claim.
void PlaceBar(const DockSpot& spot, const Rect& window, APPBARDATA* record) {
  const int edge = spot.edge;
  const int dpi = spot.monitor.dpi;
  const int thickness = BarThickness(edge, window, dpi);
  const bool hidden = ProposesHidden(spot.autohide, spot.hidden);
  record->uEdge = static_cast<UINT>(edge);
  record->rc = ToRECT(ProposeClaim(edge, window, hidden, spot.monitor));
  gShellBarMessage(ABM_QUERYPOS, record);
  record->rc = ToRECT(KeepThickness(edge, ToRect(record->rc), thickness));
  const Rect to = WindowOverClaim(ToRect(record->rc), dpi);
  if (spot.autohide) {
    // An autohiding bar slides there and claims no screen space.
    StartSlide(record->hWnd, to, spot);
    SetRectEmpty(&record->rc);
  } else {
    MoveWindow(record->hWnd, to.left, to.top, RectWidth(to), RectHeight(to), TRUE);
    ClipToShownPart(record->hWnd, to, spot.monitor);
  }
  gShellBarMessage(ABM_SETPOS, record);
}

// The per-monitor autohide requests, newer than the platform headers this program builds
// against, and whether the system has them (Windows 8 on).
constexpr DWORD kGetAutohideBarEx = 0x0b;  // ABM_GETAUTOHIDEBAREX
constexpr DWORD kSetAutohideBarEx = 0x0c;  // ABM_SETAUTOHIDEBAREX

bool HasMonitorAutohide() {
  OSVERSIONINFOEXA version{};
  version.dwOSVersionInfoSize = sizeof version;
  version.dwMajorVersion = 6;
  version.dwMinorVersion = 2;
  DWORDLONG condition = 0;
  condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
  condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
  return VerifyVersionInfoA(&version, VER_MAJORVERSION | VER_MINORVERSION, condition) != 0;
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
  APPBARDATA record = BarRecord(bar);
  PlaceBar(spot, ToRect(now), &record);
}

AutohideClaim ClaimAutohide(HWND bar, int edge, const Rect& monitor, bool on) {
  // Looked up once: the system does not change under the bar.
  static const bool perMonitor = HasMonitorAutohide();
  APPBARDATA record = BarRecord(bar);
  record.uEdge = static_cast<UINT>(edge);
  record.rc = ToRECT(monitor);
  const HWND holder = reinterpret_cast<HWND>(
      gShellBarMessage(perMonitor ? kGetAutohideBarEx : ABM_GETAUTOHIDEBAR, &record));
  if (holder && holder != bar) return AutohideClaim::kHeldElsewhere;
  record.lParam = on;
  // A shell that does not know the per-monitor request (Wine's) refuses it: ask for the edge.
  bool granted = perMonitor && gShellBarMessage(kSetAutohideBarEx, &record) != 0;
  if (!granted) granted = gShellBarMessage(ABM_SETAUTOHIDEBAR, &record) != 0;
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
