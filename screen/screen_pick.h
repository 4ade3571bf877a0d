// Which of the monitors present the bar is on: the one the user chose, known by its device
// name, as long as it is there.
#pragma once
#include <cstddef>

#include "dock/dock_rects.h"

namespace pinnafex {

constexpr int kMaxScreens = 16;
constexpr std::size_t kScreenNameSize = 32;  // the platform's device names, terminator included

struct ScreenEntry {
  char name[kScreenNameSize];  // such as \\.\DISPLAY2
  Rect rect;
  bool primary;
};

// Index of the monitor named `wanted` (case aside) while it is present, else of the primary, else
// 0; -1 for an empty list. A monitor found again by its name counts as the same one.
int PickScreen(const ScreenEntry* screens, int count, const char* wanted);

// The monitor after `current` in the system's order, the first after the last.
int NextScreen(int current, int count);

}  // namespace pinnafex
