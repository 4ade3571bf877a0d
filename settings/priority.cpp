#include <windows.h>

#include "settings/priority_table.h"
#include "settings/settings.h"
#include "settings/settings_text.h"

namespace pinnafex {

namespace {
constexpr DWORD kClassValues[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS,
                                  REALTIME_PRIORITY_CLASS};
}  // namespace

void SetPriorityLevel(const char* key, int level) {
  if ((level & kLevelFromKey) && key) {
    char text[kSettingTextSize];
    level = ParseSettingInt(ReadSettingString(key, "SystemPriority", text, "1"));
  }
  const PriorityChoice choice = PriorityForLevel(level);
  SetPriorityClass(GetCurrentProcess(), kClassValues[static_cast<int>(choice.processClass)]);
  SetThreadPriority(GetCurrentThread(), choice.threadPriority);
}

}  // namespace pinnafex
