#include "slots/slot_view.h"

#include "shell/control_ids.h"
#include "slots/slot_caption.h"
#include "slots/slot_lines.h"
#include "slots/slot_store.h"

namespace pinnafex {

namespace {

// The combo's handle is looked up once per slot: finding a dialog item per entry costs more
// than adding the entry.
void AddComboEntry(void* combo, const char* line) {
  SendMessageA(static_cast<HWND>(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

// Lists the block's lines and one empty entry, the first entry selected. A block that cannot
// be locked lists only the empty entry.
void ListSlotText(HWND combo, HGLOBAL block, SIZE_T size) {
  if (const auto* text = static_cast<const char*>(GlobalLock(block))) {
    SplitSlotLines(text, size, kMaxListedLines, AddComboEntry, combo);
    GlobalUnlock(block);
  }
  AddComboEntry(combo, "");
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

void RefreshSlot(HWND dialog, int slot) {
  HGLOBAL block = SlotBlock(slot);
  const SIZE_T size = block ? GlobalSize(block) : 0;
  HWND combo = GetDlgItem(dialog, kSlotComboIds[slot]);
  EnableWindow(GetDlgItem(dialog, kPopButtonIds[slot]), block != nullptr);
  EnableWindow(combo, block != nullptr);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  if (block) ListSlotText(combo, block, size);

  char caption[kLineBufferSize];
  FormatSlotCaption(slot + 1, size, caption, sizeof caption);
  SetWindowTextA(GetDlgItem(dialog, kSlotFrameIds[slot]), caption);
}

}  // namespace

void RefreshSlotView(HWND dialog) {
  for (int slot = 0; slot < kSlotCount; ++slot) RefreshSlot(dialog, slot);
}

}  // namespace pinnafex
