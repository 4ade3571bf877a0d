#include "slots/slot_view.h"

#include <cstring>

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

// Lists the block's lines and one empty entry. A block that cannot be locked lists only the
// empty entry.
void ListSlotText(HWND combo, HGLOBAL block, SIZE_T size) {
  if (const auto* text = static_cast<const char*>(GlobalLock(block))) {
    SplitSlotLines(text, size, kMaxListedLines, AddComboEntry, combo);
    GlobalUnlock(block);
  }
  AddComboEntry(combo, "");
}

// A frame's caption is set only when it changes: setting it repaints the frame even so.
void SetCaption(HWND frame, const char* caption) {
  char shown[kLineBufferSize];
  if (GetWindowTextA(frame, shown, sizeof shown) > 0 && std::strcmp(shown, caption) == 0) return;
  SetWindowTextA(frame, caption);
}

void RefreshSlot(HWND dialog, int slot) {
  const SlotContents contents = SlotOf(slot);
  HGLOBAL block = contents.block;
  const SIZE_T size = contents.captionSize;
  HWND combo = GetDlgItem(dialog, kSlotComboIds[slot]);
  EnableWindow(GetDlgItem(dialog, kPopButtonIds[slot]), block != nullptr);
  EnableWindow(combo, block != nullptr);
  // The list is emptied and filled with redrawing off: otherwise every entry recomputes and
  // repaints it, which under Wine costs ten times the entries themselves.
  SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  if (block) ListSlotText(combo, block, contents.wide ? 0 : GlobalSize(block));
  SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (block) SendMessageA(combo, CB_SETCURSEL, 0, 0);

  char caption[kLineBufferSize];
  FormatSlotCaption(slot + 1, size, caption, sizeof caption);
  SetCaption(GetDlgItem(dialog, kSlotFrameIds[slot]), caption);
}

}  // namespace

void RefreshSlotView(HWND dialog) {
  for (int slot = 0; slot < kSlotCount; ++slot) RefreshSlot(dialog, slot);
}

}  // namespace pinnafex
