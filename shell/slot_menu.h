// A slot's own menu (Name, Lock, Clear), the dialog that names a slot, and clearing slots on
// purpose.
#pragma once
#include <windows.h>

#include "settings/bar_settings.h"

namespace pinnafex {

// The slot menu made, the slots' names read from the settings, and the drop-downs' edits told
// to leave their right-click to the bar. Once, at start.
void StartSlotMenu(HWND dialog);

// The slot whose control this is (its frame, Push, Pop, drop-down or the drop-down's edit), or
// -1.
int SlotOfControl(HWND control);
// The slot whose frame lies under a point of the screen, or -1.
int SlotAtPoint(HWND dialog, POINT at);

// Opens the slot's menu at `at` (screen); the command chosen, or 0.
int ChooseFromSlotMenu(HWND dialog, int slot, POINT at, const BarSettings& settings);
// Does what was chosen: the name dialog, the lock (in `settings`, stored at once), or Clear.
void ActOnSlotMenu(HWND dialog, int slot, int chosen, BarSettings& settings);
// The name as typed, blanks around it dropped: shown, told to screen readers and stored at once.
void RenameSlot(HWND dialog, int slot, const wchar_t* typed);
// Empties an unlocked slot: its text wiped, its kept file removed, and the clipboard emptied
// while it still holds what the bar's last Pop of the slot put there.
void ClearSlot(HWND dialog, int slot, const BarSettings& settings);
// Asks, then clears every unlocked slot.
void AskClearAllSlots(HWND dialog, const BarSettings& settings);

}  // namespace pinnafex
