#include "shell/paste_keys.h"

#include "borrow/borrow_rules.h"
#include "shell/clipboard_secret.h"
#include "shell/hotkey_presses.h"
#include "shell/key_target.h"
#include "slots/slot_store.h"

namespace pinnafex {

namespace {

constexpr UINT kLoanPollMs = 50;

// The presses waiting, the one under way over the user's kept clipboard, and the process it was
// aimed at.
PressQueue gQueue;
Loan gLoan;
DWORD gTargetProcess = 0;

// A press waiting for the user's clipboard to be kept, on its own thread: what it found when it
// came.
struct Pending {
  bool active = false;
  int slot = -1;
  HWND front = nullptr;
  WindowKeys keys{};
};
Pending gPending;

// The paste goes on over the user's clipboard, kept.
HotkeyOutcome PasteKept(HWND dialog, int slot, HWND front, const WindowKeys& keys) {
  const ClipResult offered = OfferSlot(dialog, slot);
  if (offered != ClipResult::kDone) {
    GiveBack(dialog);
    return {offered, -1};
  }
  // The keeping, or a held clipboard, took a while: the keys go only where they were aimed.
  if (gForegroundWindow() != front) {
    GiveBack(dialog);
    return Told(kWindowChangedNotice);
  }
  if (!SendShortcut(front, keys.paste)) {
    GiveBack(dialog);
    return {};
  }
  GetWindowThreadProcessId(front, &gTargetProcess);
  gLoan.open = true;
  gLoan.read = false;
  gLoan.keysMs = GetTickCount();
  return {};
}

// One press of a slot's key: the slot offered in the user's clipboard's place and pasted into
// the window that was in front when the key came, and only into that one.
HotkeyOutcome PasteNow(HWND dialog, int slot) {
  HWND front = gForegroundWindow();
  if (OwnWindow(front)) return {};
  if (!SlotBlock(slot)) {
    MessageBeep(MB_OK);
    return {};
  }
  const WindowKeys keys = KeysOf(front);
  if (!keys.paste.virtualKey) return Told(kNoPasteKeyNotice);
  if (Elevated(front)) return Told(kElevatedNotice);
  // Presses in a row keep the user's clipboard once, from before the first.
  if (gLoan.open) return PasteKept(dialog, slot, front, keys);
  gPending = {true, slot, front, keys};
  StartKeepingClipboard(dialog, kClipboardKeptMessage);
  return {};
}

}  // namespace

void GiveBack(HWND dialog) {
  DropOffer();
  if (ClipboardKept() && ClipboardChangedSinceKept()) {
    if (GiveClipboardBack(dialog)) TimeSecret(dialog, Secret::kGivenBack, -1);
  }
  DropKeptClipboard();
  gLoan = Loan{};
}

HotkeyOutcome QueuePaste(HWND dialog, int slot) {
  if (!QueuePress(gQueue, slot)) {
    MessageBeep(MB_OK);
    return {};
  }
  return RunPastes(dialog);
}

HotkeyOutcome RunPastes(HWND dialog) {
  HotkeyOutcome outcome;
  for (bool more = true; more && !gPending.active;) {
    more = false;
    switch (StepLoan(gLoan, gQueue.count > 0, GetClipboardOwner() == dialog, GetTickCount())) {
      case LoanStep::kNextPaste: {
        const HotkeyOutcome pasted = PasteNow(dialog, NextPress(gQueue));
        if (pasted.popped != ClipResult::kDone) outcome = pasted;
        more = true;
        break;
      }
      case LoanStep::kGiveBack:
        GiveBack(dialog);
        break;
      case LoanStep::kLetGo:  // the user copied meanwhile: that stays
        LetPastesGo();
        break;
      case LoanStep::kWait:
        break;
    }
  }
  if (gLoan.open || gQueue.count) {
    SetTimer(dialog, kLoanTimerId, kLoanPollMs, nullptr);
  } else {
    KillTimer(dialog, kLoanTimerId);
  }
  return outcome;
}

bool PasteAwaitsKeeping() {
  return gPending.active;
}

HotkeyOutcome PasteOnKept(HWND dialog, KeepResult kept) {
  const Pending pending = gPending;
  gPending = {};
  HotkeyOutcome outcome;
  if (kept == KeepResult::kHeld) {
    outcome = {ClipResult::kHeld, -1};
  } else if (kept == KeepResult::kNoMemory) {
    outcome = Told(kNotKeptNotice);
  } else {
    outcome = PasteKept(dialog, pending.slot, pending.front, pending.keys);
  }
  const HotkeyOutcome next = RunPastes(dialog);  // the presses queued meanwhile
  return outcome.popped != ClipResult::kDone ? outcome : next;
}

bool PasteUnderWay() {
  return gLoan.open || gPending.active;
}

bool EndPastes(HWND dialog) {
  const bool keeping = gPending.active;
  gQueue = PressQueue{};
  gPending = {};
  if (gLoan.open) GiveBack(dialog);
  KillTimer(dialog, kLoanTimerId);
  return keeping;
}

void LetPastesGo() {
  if (!gLoan.open) return;
  DropOffer();
  DropKeptClipboard();
  gLoan = Loan{};
}

void RenderForPaste(HWND, UINT format) {
  if (!RenderOffer(format)) return;
  // Clipboard managers and remote desktops read every new clipboard too: only the target's
  // request tells that the paste happened. A reader with no window of its own counts as it.
  HWND reader = GetOpenClipboardWindow();
  DWORD process = 0;
  GetWindowThreadProcessId(reader, &process);
  if (gLoan.open && (!reader || process == gTargetProcess)) {
    gLoan.read = true;
    gLoan.readMs = GetTickCount();
  }
}

void RenderAllForPaste(HWND dialog) {
  if (!OpenClipboard(dialog)) return;
  if (GetClipboardOwner() == dialog) {
    const UINT texts[] = {CF_TEXT, CF_UNICODETEXT};
    for (UINT format : texts) RenderOffer(format);
  }
  CloseClipboard();
}

}  // namespace pinnafex
