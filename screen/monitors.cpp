#include "screen/monitors.h"

#include <windows.h>

namespace pinnafex {

namespace {

struct Listing {
  ScreenEntry* out;
  int count;
};

BOOL CALLBACK AddScreen(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
  auto* listing = reinterpret_cast<Listing*>(param);
  MONITORINFOEXA info{};
  info.cbSize = sizeof info;
  if (listing->count >= kMaxScreens) return FALSE;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  ScreenEntry& entry = listing->out[listing->count++];
  lstrcpynA(entry.name, info.szDevice, sizeof entry.name);
  entry.rect = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                info.rcMonitor.bottom};
  entry.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
  return TRUE;
}

}  // namespace

int ListScreens(ScreenEntry (&out)[kMaxScreens]) {
  Listing listing{out, 0};
  EnumDisplayMonitors(nullptr, nullptr, AddScreen, reinterpret_cast<LPARAM>(&listing));
  if (listing.count == 0) {
    out[0] = {"", {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, true};
    listing.count = 1;
  }
  return listing.count;
}

ScreenEntry FindScreen(const char* wanted) {
  ScreenEntry screens[kMaxScreens];
  const int count = ListScreens(screens);
  return screens[PickScreen(screens, count, wanted)];
}

}  // namespace pinnafex
