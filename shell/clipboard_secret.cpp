#include "shell/clipboard_secret.h"

#include "base/bar_ids.h"
#include "borrow/clipboard_loan.h"
#include "slots/slot_store.h"

namespace pinnafex {

namespace {

constexpr UINT kSecretMs = 15000;  // a secret Popped stays on the clipboard this long

Secret gSecret = Secret::kNone;
int gSecretSlot = -1;

}  // namespace

void TimeSecret(HWND dialog, Secret kind, int slot) {
  gSecret = kind;
  gSecretSlot = slot;
  SetTimer(dialog, kSecretTimerId, kSecretMs, nullptr);
}

void SecretDue(HWND dialog, bool pasting) {
  KillTimer(dialog, kSecretTimerId);
  if (pasting) return;
  const bool still =
      gSecret == Secret::kPopped ? ClipboardHoldsPop(gSecretSlot) : ClipboardHoldsGivenBack();
  if (gSecret != Secret::kNone && still) WipeClipboard(dialog);
  gSecret = Secret::kNone;
}

}  // namespace pinnafex
