// The copy key: armed, a slot key sends the window in front its copy keystroke and fills the slot
// from the clipboard, over the user's clipboard kept and given back.
#pragma once
#include <windows.h>

#include "borrow/clipboard_loan.h"
#include "shell/copy_arming.h"
#include "shell/hotkeys.h"

namespace pinnafex {

// A key's or a tick's step through the arming: what the bar does. For kPush, `slot` becomes the
// slot the copy goes into.
KeyAction StepArming(KeyEvent event, int& slot);
// Armed, or a copy waits: the copy's timer runs.
bool CopyWatched();
void Disarm();

// What the arming's steps do.
HotkeyOutcome ArmCopy(HWND dialog, int slot);
HotkeyOutcome CopyInto(HWND dialog, int slot);
HotkeyOutcome PushCopied(HWND dialog, int slot);
HotkeyOutcome NothingCopied(HWND dialog, int slot);

// The copy waits for the user's clipboard to be kept; then the keeping's end, with `kept`.
bool CopyAwaitsKeeping();
HotkeyOutcome CopyOnKept(HWND dialog, KeepResult kept);

}  // namespace pinnafex
