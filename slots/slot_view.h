#pragma once
#include <windows.h>

#include <cstddef>

namespace pinnafex {

// Lets the scans over slot texts use SSE2 where the processor has it; once, at start-up.
void ChooseTextScans();

// Captions, enabled states and drop-down entries of all twenty slots.
void RefreshSlotView(HWND dialog);
// The same for one slot: after a Push, the others are as they were.
void RefreshSlot(HWND dialog, int slot);
// The slot's caption alone, after a rename.
void RefreshSlotCaption(HWND dialog, int slot);
// Every caption once more, fitted to the frames as the layout and the font left them.
void RefreshSlotCaptions(HWND dialog);

// A slot's name ("" for none), shown in its caption in place of the size; kept by the place,
// whatever text comes and goes.
void NameSlot(int slot, const wchar_t* name);
const wchar_t* SlotName(int slot);

// Adds a text's lines to a combo, up to the bound, then an entry that counts the
// lines not listed, then one empty entry. 8-bit text is read in `codePage`.
void ListSlotLines(HWND combo, const char* text, std::size_t length, UINT codePage = CP_ACP);
void ListSlotLines(HWND combo, const char16_t* text, std::size_t length);

}  // namespace pinnafex
