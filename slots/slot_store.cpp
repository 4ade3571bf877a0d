#include "slots/slot_store.h"

#include <cstring>

#include "settings/priority_table.h"
#include "settings/settings.h"
#include "shell/control_ids.h"
#include "slots/slot_text.h"

namespace pinnafex {

SlotAllocator gSlotAlloc = GlobalAlloc;

namespace {

constexpr UINT kSlotBlockFlags = GMEM_MOVEABLE | GMEM_ZEROINIT;

HGLOBAL gSlots[kSlotCount];

bool IsSlotIndex(int slot) {
  return slot >= 0 && slot < kSlotCount;
}

// A clipboard transfer runs at the high level and leaves at the normal one, on every path.
struct HighPriorityScope {
  HighPriorityScope() { SetPriorityLevel(nullptr, kLevelHigh); }
  ~HighPriorityScope() { SetPriorityLevel(nullptr, kLevelNormal); }
  HighPriorityScope(const HighPriorityScope&) = delete;
  HighPriorityScope& operator=(const HighPriorityScope&) = delete;
};

// A new slot-style block holding the text of `source` (read no further than the block's
// size), or null when it cannot be read or memory runs out.
HGLOBAL CopyTextBlock(HGLOBAL source) {
  const auto* text = static_cast<const char*>(GlobalLock(source));
  if (!text) return nullptr;
  const SIZE_T length = BoundedTextLength(text, GlobalSize(source));
  const SIZE_T size = SlotBlockSize(length);
  HGLOBAL copy = size ? gSlotAlloc(kSlotBlockFlags, size) : nullptr;
  if (copy) {
    void* dest = GlobalLock(copy);
    if (dest) {
      std::memcpy(dest, text, length);  // the zero fill behind it is the terminator
      GlobalUnlock(copy);
    } else {
      GlobalFree(copy);
      copy = nullptr;
    }
  }
  GlobalUnlock(source);
  return copy;
}

}  // namespace

void ClearAllSlots() {
  for (HGLOBAL& block : gSlots) block = nullptr;
}

void PushSlot(int slot) {
  HighPriorityScope high;
  if (!IsSlotIndex(slot)) return;
  // A clipboard held by another program is a passing failure: the slot keeps its text.
  if (!OpenClipboard(nullptr)) return;
  const bool offered = IsClipboardFormatAvailable(CF_TEXT) != 0;
  HANDLE data = offered ? GetClipboardData(CF_TEXT) : nullptr;
  HGLOBAL fresh = data ? CopyTextBlock(data) : nullptr;
  CloseClipboard();
  // No text on the clipboard empties the slot; text that could not be read or copied
  // leaves it as it was.
  if (offered && !fresh) return;
  if (gSlots[slot]) GlobalFree(gSlots[slot]);
  gSlots[slot] = fresh;
}

void PopSlot(int slot) {
  HighPriorityScope high;
  if (!IsSlotIndex(slot) || !gSlots[slot]) return;
  // The copy exists before the clipboard is emptied, so a failure leaves the clipboard as is.
  HGLOBAL copy = CopyTextBlock(gSlots[slot]);
  if (!copy) return;
  if (!OpenClipboard(nullptr)) {
    GlobalFree(copy);
    return;
  }
  EmptyClipboard();
  // Once taken, the copy is the clipboard's; a refused one is still ours to free.
  if (!SetClipboardData(CF_TEXT, copy)) GlobalFree(copy);
  CloseClipboard();
}

void ReleaseAllSlots() {
  for (HGLOBAL& block : gSlots) {
    if (block) GlobalFree(block);
    block = nullptr;
  }
}

HGLOBAL SlotBlock(int slot) {
  return IsSlotIndex(slot) ? gSlots[slot] : nullptr;
}

}  // namespace pinnafex
