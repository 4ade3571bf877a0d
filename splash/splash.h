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

// How a splash window stores its record in its user-data slot (SetWindowLongPtrA); a test puts
// a failing store in its place.
using SplashStore = LONG_PTR(WINAPI*)(HWND window, int index, LONG_PTR value);
extern SplashStore gSplashStore;

}  // namespace pinnafex
