// The twenty clip slots and their transfers from and to the clipboard.
#pragma once
#include <windows.h>

namespace pinnafex {

void ClearAllSlots();         // marks every slot empty, frees nothing (start of the dialog)
void PushSlot(int slot);      // clipboard text -> slot
void PopSlot(int slot);       // slot text -> clipboard (a fresh copy each time)
void ReleaseAllSlots();       // frees every slot's block (confirmed quit)
HGLOBAL SlotBlock(int slot);  // the slot's block, or null when empty

// Allocates slot blocks and the copies handed to the clipboard: GlobalAlloc, unless a test
// swaps it to make memory run out.
using SlotAllocator = HGLOBAL(WINAPI*)(UINT flags, SIZE_T bytes);
extern SlotAllocator gSlotAlloc;

}  // namespace pinnafex
