#pragma once
#include <windows.h>

namespace pinnafex {

// The bar: the dialog IDD_DIALOG1 runs modally for the whole life of the program.
INT_PTR CALLBACK BarDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pinnafex
