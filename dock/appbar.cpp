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

Rect AskArea(HWND bar, const DockSpot& spot) {
  RECT now{};
  GetWindowRect(bar, &now);
  const int thickness = BarThickness(spot.edge, ToRect(now), spot.monitor.dpi);
  APPBARDATA record = BarRecord(bar);
  record.uEdge = static_cast<UINT>(spot.edge);
  record.rc = ToRECT(ProposeClaim(spot.edge, ToRect(now), spot.monitor));
  gShellBarMessage(ABM_QUERYPOS, &record);
  const Rect granted = KeepThickness(spot.edge, ToRect(record.rc), thickness);
  return AreaBeside(spot.edge, spot.monitor.rect, granted);
}

void RedockBar(HWND bar, const DockSpot& spot) {
  RECT now{};
  GetWindowRect(bar, &now);
  const int dpi = spot.monitor.dpi;
  const Rect shown = KeepThickness(spot.edge, spot.area, BarThickness(spot.edge, ToRect(now), dpi));
  const Rect hiddenClaim = HideClaim(spot.edge, shown, dpi);
  const Rect place = WindowOverClaim(shown, dpi);
  // Hidden or shown, the window lies at its shown place: only its region changes.
  MoveWindow(bar, place.left, place.top, RectWidth(place), RectHeight(place), TRUE);
  APPBARDATA record = BarRecord(bar);
  record.uEdge = static_cast<UINT>(spot.edge);
  record.rc = ToRECT(shown);
  if (spot.autohide) {
    // An autohiding bar slides there and claims no screen space.
    const Rect hidden = WindowOverClaim(hiddenClaim, dpi);
    StartSlide(bar, SlideFrom(spot.edge, AppearedAt(), place, hidden), spot.hidden ? hidden : place,
               spot);
    SetRectEmpty(&record.rc);
  } else {
    AppearAt(bar, place, ShownArea(spot));
  }
  gShellBarMessage(ABM_SETPOS, &record);
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
