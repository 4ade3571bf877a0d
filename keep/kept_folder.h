// Where a slot is kept: the folder, the names of a slot's files, and what is done to them as
// whole files (put in place, set aside, removed).
#pragma once
#include <windows.h>

namespace pinnafex {

// Seam for tests and the bench: the folder (null: the user's local application data folder's
// "Pinnafex").
extern const wchar_t* gKeptFolder;

bool KeptFolder(wchar_t (&out)[MAX_PATH]);
// The full path of a slot's file, "slot-03.kept" with `suffix`; false when it does not fit.
bool KeptPath(int slot, const wchar_t* suffix, wchar_t (&out)[MAX_PATH]);
constexpr wchar_t kTempSuffix[] = L".tmp";  // a save on its way: written, sealed, then put in place

// The slot's written and sealed ".tmp" put in place of its file in one step.
DWORD PlaceKeptSlot(int slot);
// A damaged file set aside under a new name (".bad", ".2.bad" ...), never deleted.
void SetAside(int slot);
// The slot's file and its ".tmp" removed; ERROR_SUCCESS when neither is left.
DWORD RemoveKeptSlot(int slot);
// Every file of the slots removed, set-aside ones included; ERROR_SUCCESS when none is left.
DWORD RemoveEveryKept();
// Whether any slot has a file or a ".tmp" to restore.
bool AnyKept();

}  // namespace pinnafex
