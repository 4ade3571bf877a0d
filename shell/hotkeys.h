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
// waiting copy is dropped, and a paste under way gives the user's clipboard back.
void ReleaseHotkeys(HWND dialog);

// What a key left to the dialog to do.
struct HotkeyOutcome {
  ClipResult popped = ClipResult::kDone;  // a paste's Pop, to be reported as a Pop button's
  int pushSlot = -1;  // the copy's text is on the clipboard: push it as the Push button does
};

// WM_HOTKEY. Each press of a slot's key pastes the slot once, in order, into the window in front
// when the key came: the user's clipboard is kept, the slot offered in its place and given back
// once the window has read it. Armed by the copy key, the press sends the window its copy
// keystroke instead and waits for the clipboard. A key held down acts once; keys aimed at the
// bar's own windows do nothing; an empty slot only beeps.
HotkeyOutcome ActOnHotkey(HWND dialog, WPARAM id);

// A paste or a copy by key goes on once the user's clipboard is kept, off the bar's thread.
constexpr UINT kClipboardKeptMessage = WM_APP + 28;
HotkeyOutcome ActOnClipboardKept(HWND dialog);

// The hotkeys' timers: kCopyTimerId (the arming's end and the copy's wait), kLoanTimerId (the
// paste's end and the presses queued), kSecretTimerId (a secret leaving the clipboard).
HotkeyOutcome ActOnHotkeyTimer(HWND dialog, UINT_PTR timerId);

// WM_RENDERFORMAT and WM_RENDERALLFORMATS: the slot offered for a paste, handed over.
void RenderForPaste(HWND dialog, UINT format);
void RenderAllForPaste(HWND dialog);

// A Pop by button put `slot` on the clipboard: it stays over a paste by key under way, and a
// secret leaves it after a while.
void PoppedBy(HWND dialog, int slot);

// "Copy into which slot?" while the copy key is armed, else null.
const char* CopyPrompt();

// The copy has ended with `pushed` into `slot` (the dialog pushed it): the user's clipboard goes
// back, and a done copy is told in the clock field.
void FinishCopy(HWND dialog, int slot, ClipResult pushed);

// Seams for tests: the sending of keystrokes, the window in front, the system's key state, the
// key watch's hook, and a process's integrity level (false when it cannot be read).
using InputSender = UINT(WINAPI*)(UINT count, LPINPUT inputs, int size);
extern InputSender gSendInput;
using ForegroundReader = HWND(WINAPI*)();
extern ForegroundReader gForegroundWindow;
using KeyStateReader = SHORT(WINAPI*)(int key);
extern KeyStateReader gKeyState;
using HookSetter = HHOOK(WINAPI*)(int kind, HOOKPROC proc, HINSTANCE module, DWORD thread);
extern HookSetter gSetHook;
using IntegrityReader = bool (*)(DWORD process, DWORD& level);
extern IntegrityReader gReadIntegrity;

}  // namespace pinnafex
