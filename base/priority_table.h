// Priority levels: a process priority class and a priority for the calling thread.
#pragma once

namespace pinnafex {

enum class PriorityClass { Idle, Normal, High, Realtime };

struct PriorityChoice {
  PriorityClass processClass;
  int threadPriority;  // the platform's THREAD_PRIORITY_* value
};

constexpr int kLevelIdle = 0;
constexpr int kLevelNormal = 1;
constexpr int kLevelHigh = 2;      // clipboard transfers
constexpr int kLevelRealtime = 3;  // slides

// Only the low 8 bits choose; every level not in the table is normal.
PriorityChoice PriorityForLevel(int level);

}  // namespace pinnafex
