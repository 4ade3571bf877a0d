// The user's clipboard kept before a paste or a copy by key puts something else there, and
// given back after it; the bar decides when.
#pragma once
#include <windows.h>

namespace pinnafex {

enum class KeepResult { kKept, kHeld, kNoMemory };

// Copies every format the clipboard holds, in its order: memory as bytes, bitmaps, palettes and
// metafiles as objects; what cannot be copied is left out. A copy already kept stays as it is.
// The copying runs on a thread of its own; `owner` gets `doneMessage` once it is over, also when
// nothing needed copying.
void StartKeepingClipboard(HWND owner, UINT doneMessage);
// Waits for a keeping under way (answering the messages sent to `owner` meanwhile) and tells
// what it did.
KeepResult FinishKeeping();
bool ClipboardKept();
// True when something wrote the clipboard since the keeping.
bool ClipboardChangedSinceKept();

// Puts the kept copy back as the clipboard, marked as already in the histories, and lets go of
// it. A large format is offered, and written when a program asks for it. Returns true when what
// went back was marked private by its source.
bool GiveClipboardBack(HWND owner);
// Writes what is still offered (a few seconds at most): the bar may end.
void FinishGivingBack();
// Lets go of the kept copy, wiped, putting nothing back.
void DropKeptClipboard();

// True while the clipboard is still what GiveClipboardBack put there.
bool ClipboardHoldsGivenBack();
// Wipes the data of the clipboard the bar owns, then empties it: a secret does not linger in
// freed memory.
void WipeClipboard(HWND owner);

// Seam for tests: the allocation of the kept copies.
using KeepAllocator = HGLOBAL(WINAPI*)(UINT flags, SIZE_T bytes);
extern KeepAllocator gKeepAlloc;

}  // namespace pinnafex
