#include "base/priority.h"

#include <windows.h>

#include "base/priority_table.h"

namespace pinnafex {

namespace {
constexpr DWORD kClassValues[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS,
                                  REALTIME_PRIORITY_CLASS};
}  // namespace

void SetPriorityLevel(int level) {
  const PriorityChoice choice = PriorityForLevel(level);
  SetPriorityClass(GetCurrentProcess(), kClassValues[static_cast<int>(choice.processClass)]);
  SetThreadPriority(GetCurrentThread(), choice.threadPriority);
}

}  // namespace pinnafex
