// Keys that paste a slot into the program in front, while the HOTKEYS setting is on.
#pragma once
#include <windows.h>

#include "slots/slot_store.h"

namespace pinnafex {

// Takes every slot's key for the dialog, or releases them all. A key another program holds is
// left to it, and the clock field names it once.
void ApplyHotkeys(HWND dialog, bool on);

// Releases every key the dialog holds (turned off, quit, end of the session).
void ReleaseHotkeys(HWND dialog);

// WM_HOTKEY: puts the key's slot on the clipboard as Pop does and pastes it into the window in
// front with Ctrl+V. Returns how the Pop ended, to be reported as a Pop button's; an empty slot
// only beeps, and it and an id of no slot count as done.
ClipResult PasteHotkeySlot(HWND dialog, WPARAM id);

}  // namespace pinnafex
