// A secret the bar put on the clipboard, and its leaving after a while.
#pragma once
#include <windows.h>

namespace pinnafex {

enum class Secret { kNone, kPopped, kGivenBack };

// A private slot Popped (`slot`), or a private clipboard given back: it leaves in a while.
void TimeSecret(HWND dialog, Secret kind, int slot);

// kSecretTimerId: the secret leaves, wiped, if the clipboard still holds it unchanged. During a
// paste by key (`pasting`) the user's clipboard is given back instead, and timed from then.
void SecretDue(HWND dialog, bool pasting);

}  // namespace pinnafex
