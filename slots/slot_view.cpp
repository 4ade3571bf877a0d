#include "slots/slot_view.h"

#include "shell/control_ids.h"
#include "slots/slot_caption.h"
#include "slots/slot_lines.h"
#include "slots/slot_store.h"

namespace pinnafex {

namespace {

struct ComboTarget {
  HWND dialog;
  int comboId;
};

void AddComboEntry(void* context, const char* line) {
  const auto* target = static_cast<const ComboTarget*>(context);
  SendDlgItemMessageA(target->dialog, target->comboId, CB_ADDSTRING, 0,
                      reinterpret_cast<LPARAM>(line));
}

// Lists the block's lines and one empty entry, the first entry selected. A block that cannot
// be locked lists only the empty entry.
void ListSlotText(HWND dialog, int comboId, HGLOBAL block, SIZE_T size) {
  ComboTarget target{dialog, comboId};
  if (const auto* text = static_cast<const char*>(GlobalLock(block))) {
    SplitSlotLines(text, size, kMaxListedLines, AddComboEntry, &target);
    GlobalUnlock(block);
  }
  AddComboEntry(&target, "");
  SendDlgItemMessageA(dialog, comboId, CB_SETCURSEL, 0, 0);
}

void RefreshSlot(HWND dialog, int slot) {
  HGLOBAL block = SlotBlock(slot);
  const SIZE_T size = block ? GlobalSize(block) : 0;
  EnableWindow(GetDlgItem(dialog, kPopButtonIds[slot]), block != nullptr);
  EnableWindow(GetDlgItem(dialog, kSlotComboIds[slot]), block != nullptr);
  SendDlgItemMessageA(dialog, kSlotComboIds[slot], CB_RESETCONTENT, 0, 0);
  if (block) ListSlotText(dialog, kSlotComboIds[slot], block, size);

  char caption[kLineBufferSize];
  FormatSlotCaption(slot + 1, size, caption, sizeof caption);
  SetWindowTextA(GetDlgItem(dialog, kSlotFrameIds[slot]), caption);
}

}  // namespace

void RefreshSlotView(HWND dialog) {
  for (int slot = 0; slot < kSlotCount; ++slot) RefreshSlot(dialog, slot);
}

}  // namespace pinnafex
