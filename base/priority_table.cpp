#include "base/priority_table.h"

namespace pinnafex {

namespace {
constexpr PriorityChoice kLevels[] = {
    {PriorityClass::Idle, -15},     // THREAD_PRIORITY_IDLE
    {PriorityClass::Normal, 0},     // THREAD_PRIORITY_NORMAL
    {PriorityClass::High, 2},       // THREAD_PRIORITY_HIGHEST
    {PriorityClass::Realtime, 15},  // THREAD_PRIORITY_TIME_CRITICAL
};
}  // namespace

PriorityChoice PriorityForLevel(int level) {
  const unsigned index = static_cast<unsigned>(level) & 0xFFu;
  return index < sizeof kLevels / sizeof kLevels[0] ? kLevels[index] : kLevels[kLevelNormal];
}

}  // namespace pinnafex
