#include "screen/monitors.h"

#include <windows.h>

namespace pinnafex {

namespace {

// Asks EnumDisplayDevices for a monitor's device interface name rather than its hardware id.
constexpr DWORD kInterfaceName = 0x00000001;  // EDD_GET_DEVICE_INTERFACE_NAME

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
  // The first monitor on the output is the one shown there: its identity stays with it when
  // another output or another docking station takes it.
  DISPLAY_DEVICEA device{};
  device.cb = sizeof device;
  entry.id[0] = 0;
  if (EnumDisplayDevicesA(info.szDevice, 0, &device, kInterfaceName)) {
    lstrcpynA(entry.id, device.DeviceID, sizeof entry.id);
  }
  return TRUE;
}

}  // namespace

int ListScreens(ScreenEntry (&out)[kMaxScreens]) {
  Listing listing{out, 0};
  EnumDisplayMonitors(nullptr, nullptr, AddScreen, reinterpret_cast<LPARAM>(&listing));
  if (listing.count == 0) {
    out[0] = {"", {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, true, ""};
    listing.count = 1;
  }
  return listing.count;
}

ScreenEntry FindScreen(const char* wantedId, const char* wantedName) {
  ScreenEntry screens[kMaxScreens];
  const int count = ListScreens(screens);
  return screens[PickScreen(screens, count, wantedId, wantedName)];
}

}  // namespace pinnafex
