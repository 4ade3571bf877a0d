#include "shell/hotkeys.h"

#include "base/bar_ids.h"
#include "borrow/clipboard_loan.h"
#include "clock/ticker.h"
#include "shell/clipboard_secret.h"
#include "shell/copy_key.h"
#include "shell/hotkey_table.h"
#include "shell/key_watch.h"
#include "shell/paste_keys.h"
#include "slots/slot_store.h"

namespace pinnafex {

namespace {

static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT,
              "hotkey modifiers as RegisterHotKey takes them");

// Windows 7 and later: holding the key down acts once. Wine ignores it; the key watch does the
// same there.
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT
constexpr UINT kCopyPollMs = 30;
// Something wrote the clipboard between its keeping and the bar hearing of it: kept again, a
// few times at most.
constexpr int kKeepTries = 3;

bool gHeld[kHotkeyCount];  // the dialog holds the key
int gKeepTries = 0;

bool Register(HWND dialog, int key) {
  const HotkeyCombo combo = SlotHotkey(key);
  const int id = HotkeyId(key);
  // Older systems refuse the no-repeat flag; a key another program holds fails both.
  return RegisterHotKey(dialog, id, combo.modifiers | kNoRepeat, combo.virtualKey) ||
         RegisterHotKey(dialog, id, combo.modifiers, combo.virtualKey);
}

HotkeyOutcome Nothing(HWND, int) {
  return {};
}

HotkeyOutcome Beep(HWND, int) {
  MessageBeep(MB_OK);
  return {};
}

struct ActionRow {
  KeyAction action;
  HotkeyOutcome (*handler)(HWND dialog, int slot);
};
constexpr ActionRow kActions[] = {
    {KeyAction::kNone, Nothing},
    {KeyAction::kArm, ArmCopy},
    {KeyAction::kDisarm, Nothing},
    {KeyAction::kPaste, QueuePaste},
    {KeyAction::kCopy, CopyInto},
    {KeyAction::kPush, PushCopied},
    {KeyAction::kNothingCopied, NothingCopied},
    {KeyAction::kBusy, Beep},
};

HotkeyOutcome Act(HWND dialog, KeyEvent event, int slot) {
  const KeyAction action = StepArming(event, slot);
  HotkeyOutcome outcome;
  for (const ActionRow& row : kActions) {
    if (row.action == action) outcome = row.handler(dialog, slot);
  }
  // The timer runs only while there is something to watch.
  if (CopyWatched()) {
    if (event != KeyEvent::kTick) SetTimer(dialog, kCopyTimerId, kCopyPollMs, nullptr);
  } else {
    KillTimer(dialog, kCopyTimerId);
  }
  return outcome;
}

}  // namespace

void ApplyHotkeys(HWND dialog, bool on) {
  ReleaseHotkeys(dialog);
  if (!on) return;
  bool taken[kHotkeyCount] = {};
  for (int key = 0; key < kHotkeyCount; ++key) {
    gHeld[key] = Register(dialog, key);
    taken[key] = !gHeld[key];
  }
  StartKeyWatch();
  char notice[kTakenNoticeSize] = "";
  TakenHotkeysNotice(taken, notice);
  if (notice[0]) ShowTickerNotice(notice, 0);
}

void ReleaseHotkeys(HWND dialog) {
  for (int key = 0; key < kHotkeyCount; ++key) {
    if (gHeld[key]) UnregisterHotKey(dialog, HotkeyId(key));
    gHeld[key] = false;
  }
  StopKeyWatch();
  Disarm();
  KillTimer(dialog, kCopyTimerId);
  EndPastes(dialog);
  GiveBack(dialog);    // a copy's too
  FinishGivingBack();  // before the bar may end
}

HotkeyOutcome ActOnHotkey(HWND dialog, WPARAM id) {
  const int key = SlotOfHotkeyId(static_cast<long long>(id));
  if (key < 0 || !FreshPress(SlotHotkey(key).virtualKey)) return {};
  return Act(dialog, key == kCopyHotkey ? KeyEvent::kCopyKey : KeyEvent::kSlotKey, key);
}

HotkeyOutcome ActOnClipboardKept(HWND dialog) {
  const bool copy = CopyAwaitsKeeping();
  if (!copy && !PasteAwaitsKeeping()) return {};  // given up meanwhile
  const KeepResult kept = FinishKeeping();
  if (kept == KeepResult::kKept && ClipboardChangedSinceKept() && ++gKeepTries < kKeepTries) {
    DropKeptClipboard();  // a Pop or a copy came meanwhile: that is what goes back
    StartKeepingClipboard(dialog, kClipboardKeptMessage);
    return {};
  }
  gKeepTries = 0;
  return copy ? CopyOnKept(dialog, kept) : PasteOnKept(dialog, kept);
}

HotkeyOutcome ActOnHotkeyTimer(HWND dialog, UINT_PTR timerId) {
  if (timerId == kCopyTimerId) return Act(dialog, KeyEvent::kTick, -1);
  if (timerId == kLoanTimerId) return RunPastes(dialog);
  if (timerId == kSecretTimerId) SecretDue(dialog, PasteUnderWay());
  return {};
}

void PoppedBy(HWND dialog, int slot) {
  // The user asked for this slot on the clipboard: a paste under way puts nothing back over it.
  LetPastesGo();
  if (SlotOf(slot).secret) TimeSecret(dialog, Secret::kPopped, slot);
}

}  // namespace pinnafex
