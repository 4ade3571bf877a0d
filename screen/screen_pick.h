// Which of the monitors present the bar is on: the one the user chose, known by its identity (the
// monitor's device interface name), as long as it is there.
#pragma once
#include <cstddef>

#include "dock/dock_rects.h"

namespace pinnafex {

constexpr int kMaxScreens = 16;
constexpr std::size_t kScreenNameSize = 32;  // the platform's device names, terminator included
constexpr std::size_t kScreenIdSize = 128;   // its device interface names, terminator included

struct ScreenEntry {
  char name[kScreenNameSize];  // the video output's, such as \\.\DISPLAY2
  Rect rect;
  bool primary;
  char id[kScreenIdSize];  // the monitor's own; "" when the system tells none
};

// Index of the monitor whose identity is `wantedId` (case aside) while it is present, else of
// the primary, even when another monitor now hangs on the output it had. Only with no identity
// saved (an older release's setting) is the monitor on the output named `wantedName` taken.
// 0 when no monitor says it is the primary; -1 for an empty list.
int PickScreen(const ScreenEntry* screens, int count, const char* wantedId, const char* wantedName);

// The monitor after `current` in the system's order, the first after the last.
int NextScreen(int current, int count);

}  // namespace pinnafex
