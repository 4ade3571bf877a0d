#include "dock/win_geometry.h"

namespace pinnafex {

int WindowDpi(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  // Looked up once: older systems have no such export.
  static const auto forWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (forWindow) {
    if (const UINT dpi = forWindow(window)) return UsableDpi(static_cast<int>(dpi));
  }
  HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : kBaseDpi;
  if (dc) ReleaseDC(window, dc);
  return UsableDpi(dpi);
}

int MonitorDpi(const Rect& monitor, HWND window) {
  using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  // Looked up once: systems before Windows 8.1 have no such export.
  static const auto forMonitor = reinterpret_cast<DpiForMonitor>(
      reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryA("shcore.dll"), "GetDpiForMonitor")));
  const RECT rect = ToRECT(monitor);
  UINT x = 0;
  UINT y = 0;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  if (forMonitor &&
      SUCCEEDED(
          forMonitor(MonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY), kEffectiveDpi, &x, &y)) &&
      x) {
    return UsableDpi(static_cast<int>(x));
  }
  return WindowDpi(window);
}

}  // namespace pinnafex
