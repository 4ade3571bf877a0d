// How a slot is protected: a slot's text sealed into a file of its own, and read back.
#pragma once
#include <windows.h>

#include "slots/slot_store.h"

namespace pinnafex {

// The slot's text written, sealed and flushed to its ".tmp": ERROR_SUCCESS or the error, and
// then no ".tmp" is left.
DWORD SealKeptSlot(int slot, const SlotShare& text);
// Sealed and put in place of the slot's file.
DWORD SaveKeptSlot(int slot, const SlotShare& text);

// How a read went. Damaged: the content fails its checks, or the system's data protection
// refuses its key as foreign or damaged. Busy: the file could not be opened or read for any
// other reason (another program holds it, memory, the crypto provider): try again later.
// Newer: a later version of the program wrote it.
enum class Restore { kDone, kMissing, kDamaged, kBusy, kNewer };
// The slot's file ("" or kTempSuffix) read into `text`.
Restore RestoreKeptSlot(int slot, const wchar_t* suffix, SlotShare& text);

}  // namespace pinnafex
