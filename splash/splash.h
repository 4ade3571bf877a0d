// A bitmap splash window that closes itself after a while.
#pragma once
#include <windows.h>

namespace pinnafex {

constexpr WORD kSplashBitmapId = 12563;

HWND ShowSplash(HINSTANCE instance, HWND parent, WORD bitmapId, DWORD closeAfterMs);
void SetSplashText(HWND splash, const char* text);
int SetSplashTextColor(HWND splash, COLORREF color, int redraw);
void CloseSplash(HWND splash);
BOOL IsSplashWindow(HWND window);

}  // namespace pinnafex
