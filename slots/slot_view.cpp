#include "slots/slot_view.h"

#include <cstring>

#include "shell/control_ids.h"
#include "slots/slot_caption.h"
#include "slots/slot_lines.h"
#include "slots/slot_store.h"

namespace pinnafex {

namespace {

// What a secret's list shows instead of its lines: always the same, so it tells nothing.
constexpr wchar_t kSecretMask[] = L"\u2022\u2022\u2022\u2022\u2022\u2022\u2022\u2022";

void AddWideEntry(HWND combo, const wchar_t* line) {
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

// Where the entries of one slot go. The combo's handle is looked up once per slot: finding a
// dialog item per entry costs more than adding the entry.
struct EntrySink {
  HWND combo;
  UINT codePage;  // of the slot's 8-bit text; lines of another than the system's are converted
};

void AddComboEntry(void* context, const char* line) {
  const auto* sink = static_cast<const EntrySink*>(context);
  if (sink->codePage == CP_ACP) {
    SendMessageA(sink->combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    return;
  }
  wchar_t wide[kLineBufferSize];
  const int n = MultiByteToWideChar(sink->codePage, 0, line, -1, wide, kLineBufferSize);
  if (n <= 0) wide[0] = L'\0';
  AddWideEntry(sink->combo, wide);
}

// Lists the slot's lines and one empty entry; a secret lists the mask in their place. A block
// that cannot be locked lists only the empty entry.
void ListSlotText(HWND combo, const SlotContents& contents) {
  if (contents.secret) {
    AddWideEntry(combo, kSecretMask);
  } else if (const auto* text = static_cast<const char*>(GlobalLock(contents.block))) {
    const UINT codePage = contents.codePage == GetACP() ? CP_ACP : contents.codePage;
    EntrySink sink{combo, codePage};
    if (!contents.wide) {
      SplitSlotLines(text, GlobalSize(contents.block), kMaxListedLines, AddComboEntry, &sink);
    }
    GlobalUnlock(contents.block);
  }
  AddWideEntry(combo, L"");
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
  if (block) ListSlotText(combo, contents);
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
