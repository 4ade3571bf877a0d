// Pastes by key: each press queued, pasted once in order over the user's clipboard kept, and the
// clipboard given back once the window in front has read the slot.
#pragma once
#include <windows.h>

#include "borrow/clipboard_loan.h"
#include "shell/hotkeys.h"

namespace pinnafex {

// A slot key's press: queued, and pasted at once when nothing is under way.
HotkeyOutcome QueuePaste(HWND dialog, int slot);

// kLoanTimerId: the next press pastes once its predecessor was read; the clipboard goes back
// once the last is over.
HotkeyOutcome RunPastes(HWND dialog);

// A press waits for the user's clipboard to be kept; then the keeping's end, with `kept`.
bool PasteAwaitsKeeping();
HotkeyOutcome PasteOnKept(HWND dialog, KeepResult kept);

// A paste is under way, or waits for its keeping.
bool PasteUnderWay();

// Every paste ends and the user's clipboard goes back. True when a keeping for a paste was under
// way: it goes on, for whoever awaits it next.
bool EndPastes(HWND dialog);

// A Pop by button: the paste under way puts nothing back over it.
void LetPastesGo();

// The user's clipboard back where the bar changed it, else the kept copy dropped; a private one
// leaves again after a while.
void GiveBack(HWND dialog);

}  // namespace pinnafex
