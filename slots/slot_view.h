#pragma once
#include <windows.h>

namespace pinnafex {

// Captions, enabled states and drop-down entries of all twenty slots.
void RefreshSlotView(HWND dialog);

}  // namespace pinnafex
