#pragma once
#include <windows.h>

namespace pinnafex {

// The bar: the dialog IDD_DIALOG1 runs modally for the whole life of the program.
INT_PTR CALLBACK BarDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// True, with a beep and "Slot 4 is locked" in the clock field, when the slot is locked: a Push
// or a copy into it is refused.
bool RefusePush(int slot);

}  // namespace pinnafex
