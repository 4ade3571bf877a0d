// Keys that paste a slot into the program in front, and the key that arms a copy from it into a
// slot, while the HOTKEYS setting is on.
#pragma once
#include <windows.h>

#include "slots/slot_store.h"

namespace pinnafex {

// Takes every key for the dialog, or releases them all. A key another program holds is left to
// it, and the clock field names it once.
void ApplyHotkeys(HWND dialog, bool on);

// Releases every key the dialog holds (turned off, quit, end of the session); an armed or
// waiting copy is dropped.
void ReleaseHotkeys(HWND dialog);

// What a key left to the dialog to do.
struct HotkeyOutcome {
  ClipResult popped = ClipResult::kDone;  // a paste's Pop, to be reported as a Pop button's
  int pushSlot = -1;  // the copy's text is on the clipboard: push it as the Push button does
};

// WM_HOTKEY. A slot's key puts the slot on the clipboard as Pop does and pastes it into the
// window in front with Ctrl+V; armed by the copy key, it sends the window its copy keystroke
// instead and waits for the clipboard. A key held down acts once; keys aimed at the bar's own
// windows do nothing; an empty slot only beeps.
HotkeyOutcome ActOnHotkey(HWND dialog, WPARAM id);

// kCopyTimerId: the arming's end, and the clipboard watched for the copy.
HotkeyOutcome ActOnCopyTimer(HWND dialog);

// "Copy into which slot?" while the copy key is armed, else null.
const char* CopyPrompt();

// Tells in the clock field that the copy has filled the slot.
void ConfirmCopy(int slot);

// Seam for tests: the sending of keystrokes.
using InputSender = UINT(WINAPI*)(UINT count, LPINPUT inputs, int size);
extern InputSender gSendInput;

}  // namespace pinnafex
