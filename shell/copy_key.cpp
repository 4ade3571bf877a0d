#include "shell/copy_key.h"

#include "base/bar_ids.h"
#include "clock/ticker.h"
#include "shell/bar_dialog.h"
#include "shell/key_target.h"
#include "shell/paste_keys.h"

namespace pinnafex {

namespace {

CopyArming gArming;

// The copy waiting for the user's clipboard to be kept: the window it aims at.
struct Pending {
  bool active = false;
  HWND front = nullptr;
  WindowKeys keys{};
};
Pending gPending;

bool ClipboardHasText() {
  return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}

}  // namespace

KeyAction StepArming(KeyEvent event, int& slot) {
  if (event == KeyEvent::kTick && gPending.active) return KeyAction::kNone;  // still keeping
  const KeyAction action =
      StepCopyArming(gArming, event, slot, GetTickCount(), GetClipboardSequenceNumber());
  if (action == KeyAction::kPush) slot = gArming.slot;
  return action;
}

bool CopyWatched() {
  return gArming.armed || gArming.waiting;
}

void Disarm() {
  gArming = {};
  gPending = {};
}

HotkeyOutcome ArmCopy(HWND dialog, int) {
  SetDlgItemTextA(dialog, kClockFieldId, kCopyPrompt);  // at once, not at the next tick
  return {};
}

// The user's clipboard is kept before the copy keystroke and goes back once the copy is over.
HotkeyOutcome CopyInto(HWND dialog, int slot) {
  // Refused before the keystroke: the user's clipboard is left as it is.
  if (RefusePush(slot)) {
    gArming = {};
    return {};
  }
  HWND front = gForegroundWindow();
  const WindowKeys keys = KeysOf(front);
  if (OwnWindow(front)) {
    gArming = {};
    return {};
  }
  if (!keys.copy.virtualKey) {
    gArming = {};
    return Told(kNoCopyKeyNotice);
  }
  // A paste still under way ends first: what is kept is the user's. Its keeping, if under way,
  // serves the copy as well.
  const bool keeping = EndPastes(dialog);
  gPending = {true, front, keys};
  if (!keeping) StartKeepingClipboard(dialog, kClipboardKeptMessage);
  return {};
}

// Changed, but to no text (a picture): the slot keeps what it holds.
HotkeyOutcome PushCopied(HWND dialog, int slot) {
  if (!ClipboardHasText()) return NothingCopied(dialog, slot);
  return {ClipResult::kDone, slot};
}

HotkeyOutcome NothingCopied(HWND dialog, int) {
  GiveBack(dialog);
  return Told(kNothingCopiedNotice);
}

bool CopyAwaitsKeeping() {
  return gPending.active;
}

HotkeyOutcome CopyOnKept(HWND, KeepResult kept) {
  const Pending pending = gPending;
  gPending = {};
  if (kept != KeepResult::kKept) {
    gArming = {};
    return kept == KeepResult::kHeld ? HotkeyOutcome{ClipResult::kHeld, -1} : Told(kNotKeptNotice);
  }
  // The keeping, or a held clipboard, took a while: the keystroke goes only where it was aimed.
  if (gForegroundWindow() != pending.front) {
    gArming = {};
    DropKeptClipboard();
    return Told(kCopyWindowChangedNotice);
  }
  // The wait for the copied text starts now, from the clipboard as the keeping left it.
  gArming.sequence = GetClipboardSequenceNumber();
  gArming.sinceMs = GetTickCount();
  if (!SendShortcut(pending.front, pending.keys.copy)) {
    gArming = {};
    DropKeptClipboard();
  }
  return {};
}

const char* CopyPrompt() {
  return gArming.armed ? kCopyPrompt : nullptr;
}

void FinishCopy(HWND dialog, int slot, ClipResult pushed) {
  GiveBack(dialog);
  if (pushed != ClipResult::kDone) return;
  char notice[kCopiedNoticeSize] = "";
  CopiedNotice(slot, notice);
  ShowTickerNotice(notice, kNoticeTicks);
}

}  // namespace pinnafex
