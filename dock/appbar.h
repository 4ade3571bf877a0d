// Registration with the shell's appbar service and docking at an edge.
#pragma once
#include <windows.h>
#include <shellapi.h>

namespace pinnafex {

int RegisterBar(HWND bar, int on);
UINT_PTR PlaceBar(int edge, RECT rect, APPBARDATA* record);
UINT_PTR RedockBar(APPBARDATA* record);
void OnBarNotify(HWND bar, WPARAM code, LPARAM flag);

}  // namespace pinnafex
