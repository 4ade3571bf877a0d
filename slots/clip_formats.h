// Clipboard access shared by the slot transfers: opening it, its locale, the privacy marks.
#pragma once
#include <windows.h>

#include <cstdint>

namespace pinnafex {

// Registered formats by which a source keeps its text out of clipboard histories, monitors
// and cloud sync. A slot keeps whichever were offered with its text and offers them again.
constexpr int kPrivacyFormatCount = 4;
constexpr int kHistoryMark = 1;  // "CanIncludeInClipboardHistory"
UINT PrivacyFormat(int index);
// The history mark the bar adds to a clipboard it gives back says "in the histories already",
// not "private": noted with the clipboard's sequence number after the giving back, it is passed
// over while the clipboard stays as it was.
void NoteOwnHistoryMark(DWORD sequence);
bool IsOwnHistoryMark(UINT format);

// Opens the clipboard for `owner`, trying again a few times while another program holds it,
// with `pause` between the tries.
using OpenPause = void(WINAPI*)(DWORD ms);
bool OpenClipboardPatiently(HWND owner, OpenPause pause = Sleep);

// The locale of the clipboard's text: CF_LOCALE when offered, else the input locale, which
// is what the system itself assumes. Call with the clipboard open.
LCID OfferedLocale();
// The ANSI code page of a locale's 8-bit texts (CP_ACP when it has none of its own).
UINT AnsiCodePageOf(LCID locale);

// The byte table of a single-byte code page (see BuildByteTable), built on first use and
// kept for the page last asked for; null for a page of more than one byte a character.
const std::int16_t* SingleByteTable(UINT codePage);

// A new movable block holding `size` bytes from `bytes` and `slack` zero bytes behind them, or null
// when memory runs out or the size does not fit.
HGLOBAL NewBlock(const void* bytes, SIZE_T size, SIZE_T slack);
// Frees a block; a secret's is wiped first, so its text does not linger in freed memory.
void FreeBlock(HGLOBAL block, bool wipe);
// A copy of the first `size` bytes of a block (null, or one that cannot be locked: null).
HGLOBAL CopyBlock(HANDLE block, SIZE_T size);
// A copy of the clipboard's data in `format` (the whole block), or null.
HGLOBAL CopyClipboardData(UINT format);

}  // namespace pinnafex
