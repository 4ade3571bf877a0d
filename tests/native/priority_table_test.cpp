#include <gtest/gtest.h>

#include "base/priority_table.h"

using namespace pinnafex;

TEST(PriorityTable, LevelsMapToClassAndThreadPriority) {
  struct Row {
    int level;
    PriorityClass processClass;
    int threadPriority;
  } rows[] = {
      {0, PriorityClass::Idle, -15},        {1, PriorityClass::Normal, 0},
      {2, PriorityClass::High, 2},          {3, PriorityClass::Realtime, 15},
      {4, PriorityClass::Normal, 0},        {5, PriorityClass::Normal, 0},
      {128, PriorityClass::Normal, 0},      {255, PriorityClass::Normal, 0},
      {-1, PriorityClass::Normal, 0},       {0x100 + 2, PriorityClass::High, 2},  // low 8 bits
      {0x203, PriorityClass::Realtime, 15}, {0x100, PriorityClass::Idle, -15},
  };
  for (const Row& row : rows) {
    const PriorityChoice choice = PriorityForLevel(row.level);
    EXPECT_EQ(choice.processClass, row.processClass) << "level " << row.level;
    EXPECT_EQ(choice.threadPriority, row.threadPriority) << "level " << row.level;
  }
}
