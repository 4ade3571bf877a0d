// What a slot tells besides its caption: the size of a named slot's text in a tooltip over its
// group, and the names a screen reader says for its Push, Pop and drop-down.
#pragma once
#include <windows.h>

namespace pinnafex {

// The bar's tooltip, with tools over every slot group. Once.
void StartSlotLabels(HWND dialog);
// After a layout: the tools over the frames follow the frames.
void PlaceSlotTips(HWND dialog);
// A mouse message of the bar itself (over a frame or a disabled control) shown to the tooltip.
void RelaySlotTip(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// WM_NOTIFY from the tooltip asking for a slot's text; true when it was that.
bool AnswerSlotTip(const NMHDR* header);
// The slot's Push, Pop and drop-down named with the slot's number and name.
void LabelSlot(HWND dialog, int slot);
// Every slot labelled: once the bar is on screen, since making the accessibility service the
// first time loads COM (half a second under Wine).
void LabelAllSlots(HWND dialog);

// Seam for tests: names one control through the system's accessibility properties.
using AccNameSetter = HRESULT (*)(HWND control, const wchar_t* name);
extern AccNameSetter gSetAccName;

}  // namespace pinnafex
