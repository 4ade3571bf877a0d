// Keep Slots: each slot's text saved to its own encrypted file right after it changes, by a
// thread of its own, and restored by it at start. The bar's thread only hands over shares.
#pragma once
#include <windows.h>

#include "slots/slot_store.h"

namespace pinnafex {

// Posted by the keeper's thread to the bar; handled by OnKeeperMessage.
constexpr UINT kKeeperMessage = WM_APP + 20;

// Starts the keeper's thread. Once the bar is shown, with `keep` it restores the kept slots,
// each posted to `dialog` as it is ready; without, it deletes any kept files left over.
void StartKeeper(HWND dialog, bool keep);
// The bar is on screen: the keeper may begin (it would slow the bar's start). Each tick.
void BarShown();
// On: every slot that holds a text, secrets aside, is saved. Off: every kept file is deleted.
void SetKeeping(bool keep);
// After a Push: the slot is saved (or its file removed), and a restore still under way for it
// is dropped.
void SlotChanged(int slot);
// On the bar's thread: a restored slot taken in, or a notice shown.
void OnKeeperMessage(HWND dialog, WPARAM what, LPARAM value);
// Finishes the saves still pending and ends the thread (quit, end of the session); a restore
// still under way stops, its files left for the next start.
void FinishKeeper();

// Seams for tests and the bench: the folder (null: the user's local application data
// folder's "Pinnafex"), and one save or restore done on the calling thread.
extern const wchar_t* gKeptFolder;
DWORD SaveKeptSlot(int slot, const SlotShare& text);  // ERROR_SUCCESS or the error
enum class Restore { kDone, kMissing, kBad };
Restore RestoreKeptSlot(int slot, SlotShare& text);

}  // namespace pinnafex
