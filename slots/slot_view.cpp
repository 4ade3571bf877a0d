#include "slots/slot_view.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/bar_ids.h"
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
  UINT codePage;  // of 8-bit text; lines of another page than the system's are converted
};

void AddLine(void* context, const char* line) {
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

void AddLine(void* context, const char16_t* line) {
  AddWideEntry(static_cast<const EntrySink*>(context)->combo,
               reinterpret_cast<const wchar_t*>(line));
}

// For a code page of more than one byte a character, the length of the character each byte
// starts (see SplitSlotLines); null for a page of one byte a character. Kept for the page last
// asked for.
const std::uint8_t* CharBytesOf(UINT codePage) {
  static std::uint8_t table[256];
  static UINT builtFor = CP_ACP;
  static const std::uint8_t* built = nullptr;
  if (codePage == builtFor && built) return built;
  CPINFO info{};
  if (!GetCPInfo(codePage, &info) || info.MaxCharSize == 1) return nullptr;
  for (int byte = 0; byte < 256; ++byte) {
    // UTF-8 by its lead bytes; the other pages are of one or two bytes a character.
    const std::uint8_t utf8 = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    const bool lead = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte));
    table[byte] = codePage == CP_UTF8 ? utf8 : lead ? 2 : 1;
  }
  builtFor = codePage;
  built = table;
  return built;
}

template <typename Unit>
void ListLines(EntrySink sink, const Unit* text, std::size_t length,
               const std::uint8_t* charBytes = nullptr) {
  // Room for the list at once, rather than the list box growing it entry by entry.
  const std::size_t expected = std::min(length / 2, kMaxListedLines) + 2;
  SendMessageW(sink.combo, CB_INITSTORAGE, expected, static_cast<LPARAM>(expected * 16));
  const LineCount count =
      SplitSlotLines<Unit>(text, length, kMaxListedLines, AddLine, &sink, charBytes);
  if (count.unlisted > 0) {
    char entry[kLineBufferSize];
    FormatUnlistedEntry(count.unlisted, entry, sizeof entry);
    wchar_t wide[kLineBufferSize];
    std::copy(entry, entry + std::strlen(entry) + 1, wide);  // plain ASCII
    AddWideEntry(sink.combo, wide);
  }
  AddWideEntry(sink.combo, L"");
}

// Lists the slot's lines from its 8-bit or its UTF-16 block; a secret lists the mask in their
// place. A block that cannot be locked lists only the empty entry.
void ListSlotText(HWND combo, const SlotContents& contents) {
  const void* text = contents.secret ? nullptr : GlobalLock(contents.block);
  if (!text) {
    if (contents.secret) AddWideEntry(combo, kSecretMask);
    AddWideEntry(combo, L"");
    return;
  }
  const SIZE_T size = GlobalSize(contents.block);
  if (contents.wide) {
    ListSlotLines(combo, static_cast<const char16_t*>(text), size / sizeof(char16_t));
  } else {
    ListSlotLines(combo, static_cast<const char*>(text), size, contents.codePage);
  }
  GlobalUnlock(contents.block);
}

// Names in any script: the captions are UTF-16 throughout.
wchar_t gSlotNames[kSlotCount][kSlotNameSize];

// A frame's caption is set only when it changes: setting it repaints the frame even so.
void SetCaption(HWND frame, const wchar_t* caption) {
  wchar_t shown[kCaptionSize];
  if (GetWindowTextW(frame, shown, kCaptionSize) > 0 && lstrcmpW(shown, caption) == 0) return;
  SetWindowTextW(frame, caption);
}

int MeasureOnDc(void* dc, const char16_t* text, std::size_t length) {
  SIZE size{};
  GetTextExtentPoint32W(static_cast<HDC>(dc), reinterpret_cast<const wchar_t*>(text),
                        static_cast<int>(length), &size);
  return size.cx;
}

// The caption of a named slot, fitted to its frame in the frame's font, or the number and size.
void ShowCaption(HWND dialog, int slot, const SlotContents& contents) {
  HWND frame = GetDlgItem(dialog, kSlotFrameIds[slot]);
  char16_t caption[kCaptionSize];
  if (!gSlotNames[slot][0]) {
    char narrow[kCaptionSize];
    FormatSlotCaption(slot + 1, contents.captionSize, contents.secret, narrow, sizeof narrow);
    std::copy(narrow, narrow + std::strlen(narrow) + 1, caption);  // plain ASCII
  } else {
    HDC dc = GetDC(frame);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(frame, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT box{};
    GetClientRect(frame, &box);
    // The frame's line runs about a character's width on either side of the text.
    FormatNamedCaption(slot + 1, reinterpret_cast<const char16_t*>(gSlotNames[slot]),
                       box.right - 2 * metrics.tmAveCharWidth, MeasureOnDc, dc, caption);
    SelectObject(dc, old);
    ReleaseDC(frame, dc);
  }
  SetCaption(frame, reinterpret_cast<const wchar_t*>(caption));
}

}  // namespace

void ListSlotLines(HWND combo, const char* text, std::size_t length, UINT codePage) {
  ListLines(EntrySink{combo, codePage == GetACP() ? CP_ACP : codePage}, text, length,
            CharBytesOf(codePage));
}

void ListSlotLines(HWND combo, const char16_t* text, std::size_t length) {
  ListLines(EntrySink{combo, CP_ACP}, text, length);
}

void RefreshSlot(HWND dialog, int slot) {
  const SlotContents contents = SlotOf(slot);
  HGLOBAL block = contents.block;
  HWND combo = GetDlgItem(dialog, kSlotComboIds[slot]);
  EnableWindow(GetDlgItem(dialog, kPopButtonIds[slot]), block != nullptr);
  EnableWindow(combo, block != nullptr);
  // The list is emptied and filled with redrawing off: otherwise every entry recomputes and
  // repaints it, which under Wine costs ten times the entries themselves. Turning it on again
  // sets WS_VISIBLE where the combo leaves the message to the default procedure (Windows):
  // a combo of a slot group hidden by the layout must stay hidden.
  const bool shown = (GetWindowLongPtrA(combo, GWL_STYLE) & WS_VISIBLE) != 0;
  SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  if (block) ListSlotText(combo, contents);
  SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
  const LONG_PTR style = GetWindowLongPtrA(combo, GWL_STYLE);
  if (!shown && (style & WS_VISIBLE)) SetWindowLongPtrA(combo, GWL_STYLE, style & ~WS_VISIBLE);
  if (shown) RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (block) SendMessageA(combo, CB_SETCURSEL, 0, 0);
  ShowCaption(dialog, slot, contents);
}

void NameSlot(int slot, const wchar_t* name) {
  lstrcpynW(gSlotNames[slot], name, kSlotNameSize);
}

const wchar_t* SlotName(int slot) {
  return gSlotNames[slot];
}

void RefreshSlotCaption(HWND dialog, int slot) {
  ShowCaption(dialog, slot, SlotOf(slot));
}

void RefreshSlotCaptions(HWND dialog) {
  for (int slot = 0; slot < kSlotCount; ++slot) RefreshSlotCaption(dialog, slot);
}

void ChooseTextScans() {
  UseSse2TextScans(IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE);
}

void RefreshSlotView(HWND dialog) {
  for (int slot = 0; slot < kSlotCount; ++slot) RefreshSlot(dialog, slot);
}

}  // namespace pinnafex
