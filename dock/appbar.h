// Registration with the shell's appbar service and docking at an edge.
#pragma once
#include <windows.h>
#include <shellapi.h>

namespace pinnafex {

int RegisterBar(HWND bar, int on);
UINT_PTR PlaceBar(int edge, RECT rect, APPBARDATA* record);
UINT_PTR RedockBar(APPBARDATA* record);
void OnBarNotify(HWND bar, WPARAM code, LPARAM flag);

// Every request to the appbar service goes through this pointer (SHAppBarMessage); a test
// puts a fake shell in its place to play another bar holding the edge.
using ShellBarMessage = UINT_PTR(WINAPI*)(DWORD message, PAPPBARDATA data);
extern ShellBarMessage gShellBarMessage;

// A bar data record for one operation: cbSize and hWnd filled, the rest zero.
APPBARDATA BarRecord(HWND bar);

}  // namespace pinnafex
