#include <gtest/gtest.h>

#include "dock/notify_table.h"

using namespace pinnafex;

TEST(DockNotify, ActionPerCodeAndFullScreenFlag) {
  struct Row {
    std::uintptr_t code;
    bool fullScreen;
    ZOrderRule zOrder;
    bool redock;
  } rows[] = {
      {0, false, ZOrderRule::kTopmostOrBottom, false},  // state change: z-order only
      {0, true, ZOrderRule::kTopmostOrBottom, false},
      {1, false, ZOrderRule::kNone, true},  // position changed: re-dock only
      {1, true, ZOrderRule::kNone, true},
      {2, true, ZOrderRule::kTopmostOrBottom, true},  // full-screen program started
      {2, false, ZOrderRule::kTopmostOnly, true},     // the last one closed
      {3, false, ZOrderRule::kNone, false},           // window arrange: ignored
      {3, true, ZOrderRule::kNone, false},
      {4, false, ZOrderRule::kNone, false},
      {0x10000, true, ZOrderRule::kNone, false},
      {static_cast<std::uintptr_t>(-1), true, ZOrderRule::kNone, false},
  };
  for (const Row& row : rows) {
    const NotifyAction action = BarNotifyAction(row.code, row.fullScreen);
    EXPECT_EQ(action.zOrder, row.zOrder) << "code " << row.code << " flag " << row.fullScreen;
    EXPECT_EQ(action.redock, row.redock) << "code " << row.code << " flag " << row.fullScreen;
  }
}

TEST(DockNotify, ZOrderFollowsTheAlwaysOnTopBit) {
  struct Row {
    ZOrderRule rule;
    std::uintptr_t state;
    ZOrder expected;
  } rows[] = {
      {ZOrderRule::kTopmostOrBottom, 2, ZOrder::kTopmost},
      {ZOrderRule::kTopmostOrBottom, 3, ZOrder::kTopmost},  // ABS_AUTOHIDE | ABS_ALWAYSONTOP
      {ZOrderRule::kTopmostOrBottom, 1, ZOrder::kBottom},   // ABS_AUTOHIDE alone
      {ZOrderRule::kTopmostOrBottom, 0, ZOrder::kBottom},
      {ZOrderRule::kTopmostOnly, 2, ZOrder::kTopmost},
      {ZOrderRule::kTopmostOnly, 0, ZOrder::kKeep},
      {ZOrderRule::kTopmostOnly, 1, ZOrder::kKeep},
      {ZOrderRule::kNone, 2, ZOrder::kKeep},
      {ZOrderRule::kNone, 0, ZOrder::kKeep},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ZOrderFor(row.rule, row.state), row.expected)
        << "rule " << static_cast<int>(row.rule) << " state " << row.state;
  }
}
