#include <gtest/gtest.h>

#include "dock/hit_rule.h"

using namespace pinnafex;

TEST(DockHit, InsideCountsBothEnds) {
  const Rect bar{0, -20, 1024, 70};
  struct Row {
    int x, y;
    bool inside;
  } rows[] = {
      {500, 0, true},   {0, -20, true},  {1024, 70, true},  // right and bottom count
      {500, 70, true},  {1024, 0, true}, {500, 71, false},
      {1025, 0, false}, {-1, 0, false},  {500, -21, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CursorInside(bar, row.x, row.y), row.inside) << "cursor " << row.x << ", " << row.y;
  }
  // The hidden top bar's strip: rows 0 to 2 of the screen.
  const Rect strip{0, -88, 1024, 2};
  EXPECT_TRUE(CursorInside(strip, 300, 2));
  EXPECT_FALSE(CursorInside(strip, 300, 3));
}

TEST(DockHit, DecisionPerState) {
  struct Row {
    HitInputs in;
    HitAction expected;
    const char* what;
  } rows[] = {
      {{1, 0, true, false, false, 0}, HitAction::kHide, "shown, cursor away"},
      {{1, 0, true, true, false, 0}, HitAction::kNone, "shown, cursor on the bar"},
      {{1, 0, true, false, true, 0}, HitAction::kNone, "shown, a slot list open"},
      {{1, 0, true, false, false, 1}, HitAction::kNone, "shown, menu or prompt open"},
      {{1, 1, true, true, false, 0}, HitAction::kShow, "hidden, cursor on the strip"},
      {{1, 1, true, true, true, 1}, HitAction::kShow, "hidden, on the strip, list and menu"},
      {{1, 1, true, false, false, 0}, HitAction::kNone, "hidden, cursor away"},
      {{1, 2, true, true, false, 0}, HitAction::kShow, "hidden flag any nonzero"},
      {{0, 0, true, false, false, 0}, HitAction::kNone, "autohide off"},
      {{0, 1, true, true, false, 0}, HitAction::kNone, "autohide off, hidden flag left over"},
      {{2, 0, true, false, false, 0}, HitAction::kNone, "autohide not exactly 1"},
      {{-1, 1, true, true, false, 0}, HitAction::kNone, "autohide negative"},
      {{1, 0, false, false, false, 0}, HitAction::kNone, "cursor unreadable, shown"},
      {{1, 1, false, true, false, 0}, HitAction::kNone, "cursor unreadable, hidden"},
      // A show at the left overshoots to x 2 and 1: a cursor resting at x 0 is off the window
      // then, but still on the slide's target, and must not send the bar back.
      {{1, 0, true, false, false, 0, true}, HitAction::kNone, "shown, sliding, cursor on target"},
      {{1, 1, true, false, false, 0, true}, HitAction::kNone, "hidden: only the window counts"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DecideHit(row.in), row.expected) << row.what;
  }
}
