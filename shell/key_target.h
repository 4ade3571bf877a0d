// The window in front, as a paste or a copy by key aims at it: whether the bar may send it keys,
// which keys it takes, and the sending.
#pragma once
#include <windows.h>

#include "shell/hotkey_table.h"
#include "shell/hotkeys.h"

namespace pinnafex {

// A window of the bar's own: a slot's secret must not land in the bar's edit fields.
bool OwnWindow(HWND window);

// A window of a higher integrity level than the bar's, or of a process whose token the bar may
// not read: the system drops keystrokes sent to it without a word.
bool Elevated(HWND window);

// Its paste and copy keys, by its class and its program.
WindowKeys KeysOf(HWND window);

// `shortcut` into `front`, in the scan codes of its thread's keyboard layout; false, heard and
// told, when the system took fewer.
bool SendShortcut(HWND front, ShortcutKey shortcut);

// Heard and told in the clock field.
HotkeyOutcome Told(const char* notice);

}  // namespace pinnafex
