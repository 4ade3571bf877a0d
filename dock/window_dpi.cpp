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

}  // namespace pinnafex
