// The bar works beside the window the user types in, as the taskbar does: a click on its buttons
// presses them without taking the focus, and what does take it (a drop-down, the menu, a prompt)
// gives it back once closed.
#pragma once
#include <windows.h>

namespace pinnafex {

// Buttons of `bar` that press on a click without activating the bar.
void MakeQuietButtons(HWND bar, const int* ids, int count);

// Per tick: notes the window in front, unless it is one of the bar's own.
void WatchFocus();
// Notes the window in front to be given the focus back, or the last one noted per tick when
// the bar is in front already.
void LendFocus();
// Gives the focus back to the noted window once `busy` (a list, the menu or a prompt open) is
// false, if the bar still has it.
void ReturnFocus(bool busy);
// True while a noted window waits for the focus.
bool FocusLent();

}  // namespace pinnafex
