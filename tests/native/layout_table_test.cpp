#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "dock/layout_table.h"

using namespace pinnafex;

namespace pinnafex {
std::ostream& operator<<(std::ostream& os, const Place& p) {
  return os << "(" << p.x << ", " << p.y << ", " << p.width << ", " << p.height << ")";
}
}  // namespace pinnafex

TEST(LayoutTable, ShownSlotGroupsPerScreenSize) {
  struct Row {
    Shape shape;
    int extent;
    int withClock, withoutClock;
  } rows[] = {
      {Shape::kTop, 640, 5, 6},
      {Shape::kTop, 800, 7, 8},
      {Shape::kTop, 1024, 9, 10},
      {Shape::kTop, 1280, 12, 13},
      {Shape::kTop, 2048, 19, 20},
      {Shape::kLeft, 600, 8, 9},
      {Shape::kLeft, 768, 10, 11},
      {Shape::kLeft, 1080, 15, 16},
      // Narrower than two cells: slot group 0 still shows.
      {Shape::kTop, 150, 1, 1},
      {Shape::kTop, 0, 1, 1},
      {Shape::kLeft, 100, 1, 1},
      {Shape::kLeft, -5, 1, 1},
      {Shape::kTop, INT_MIN, 1, 1},
      // Cells end exactly on the screen's edge: 98 * 3 = 294, 66 * 3 + 2 = 200.
      {Shape::kTop, 294, 2, 3},
      {Shape::kTop, 293, 1, 2},
      {Shape::kLeft, 200, 2, 3},
      {Shape::kLeft, 199, 1, 2},
      // Never more than twenty.
      {Shape::kTop, 100000, 20, 20},
      {Shape::kLeft, INT_MAX, 20, 20},
  };
  for (const Row& row : rows) {
    const char* name = row.shape == Shape::kTop ? "top" : "left";
    EXPECT_EQ(ShownSlotCount(row.shape, row.extent, false), row.withClock)
        << name << " " << row.extent << " clock shown";
    EXPECT_EQ(ShownSlotCount(row.shape, row.extent, true), row.withoutClock)
        << name << " " << row.extent << " clock hidden";
  }
}

TEST(LayoutTable, ClockGroupPlaces) {
  struct Row {
    Shape shape;
    bool clockHidden;
    int control;
    Place expected;
  } rows[] = {
      {Shape::kTop, false, 0, {0, 2, 95, 66}},
      {Shape::kTop, false, 1, {10, 16, 80, 23}},
      {Shape::kTop, false, 2, {10, 43, 75, 20}},
      {Shape::kLeft, false, 0, {5, 2, 106, 66}},
      {Shape::kLeft, false, 1, {17, 16, 84, 23}},
      {Shape::kLeft, false, 2, {17, 43, 86, 20}},
      // Hidden, the clock group sits at the row's cell-0 place in either shape.
      {Shape::kTop, true, 0, {0, 2, 95, 66}},
      {Shape::kLeft, true, 0, {0, 2, 95, 66}},
      {Shape::kLeft, true, 1, {10, 16, 80, 23}},
      {Shape::kLeft, true, 2, {10, 43, 75, 20}},
      {Shape::kTop, false, 3, {0, 0, 0, 0}},
      {Shape::kTop, false, -1, {0, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ClockPlace(row.shape, row.clockHidden, row.control), row.expected)
        << (row.shape == Shape::kTop ? "top" : "left") << " hidden " << row.clockHidden
        << " control " << row.control;
  }
}

TEST(LayoutTable, SlotGroupPlacesPerCell) {
  // Parts: slot frame, Pop button, Push button, slot combo.
  struct Row {
    Shape shape;
    int cell;
    Place frame, pop, push, combo;
  } rows[] = {
      {Shape::kTop, 0, {0, 2, 95, 66}, {50, 16, 35, 23}, {10, 16, 35, 23}, {10, 43, 75, 20}},
      {Shape::kTop, 1, {98, 2, 95, 66}, {148, 16, 35, 23}, {108, 16, 35, 23}, {108, 43, 75, 20}},
      {Shape::kTop, 9, {882, 2, 95, 66}, {932, 16, 35, 23}, {892, 16, 35, 23}, {892, 43, 75, 20}},
      {Shape::kTop,
       20,
       {1960, 2, 95, 66},
       {2010, 16, 35, 23},
       {1970, 16, 35, 23},
       {1970, 43, 75, 20}},
      {Shape::kLeft, 0, {5, 2, 106, 66}, {62, 16, 38, 23}, {17, 16, 38, 23}, {17, 43, 86, 20}},
      {Shape::kLeft, 1, {5, 68, 106, 66}, {62, 82, 38, 23}, {17, 82, 38, 23}, {17, 109, 86, 20}},
      {Shape::kLeft,
       10,
       {5, 662, 106, 66},
       {62, 676, 38, 23},
       {17, 676, 38, 23},
       {17, 703, 86, 20}},
  };
  for (const Row& row : rows) {
    const char* name = row.shape == Shape::kTop ? "top" : "left";
    EXPECT_EQ(SlotPlace(row.shape, row.cell, 0), row.frame) << name << " cell " << row.cell;
    EXPECT_EQ(SlotPlace(row.shape, row.cell, 1), row.pop) << name << " cell " << row.cell;
    EXPECT_EQ(SlotPlace(row.shape, row.cell, 2), row.push) << name << " cell " << row.cell;
    EXPECT_EQ(SlotPlace(row.shape, row.cell, 3), row.combo) << name << " cell " << row.cell;
  }
  // Out of range asks get nothing rather than a place past the table.
  EXPECT_EQ(SlotPlace(Shape::kTop, 21, 0), (Place{0, 0, 0, 0}));
  EXPECT_EQ(SlotPlace(Shape::kLeft, -1, 0), (Place{0, 0, 0, 0}));
  EXPECT_EQ(SlotPlace(Shape::kTop, 0, 4), (Place{0, 0, 0, 0}));
}

TEST(LayoutTable, HidingTheClockMovesSlotsOnePitchTowardsCellZero) {
  struct Row {
    int slot;
    int cellWithClock, cellWithoutClock;
  } rows[] = {{0, 1, 0}, {1, 2, 1}, {8, 9, 8}, {19, 20, 19}};
  for (const Row& row : rows) {
    EXPECT_EQ(SlotCell(row.slot, false), row.cellWithClock) << "slot " << row.slot;
    EXPECT_EQ(SlotCell(row.slot, true), row.cellWithoutClock) << "slot " << row.slot;
    const Place shownTop = SlotPlace(Shape::kTop, SlotCell(row.slot, false), 0);
    const Place hiddenTop = SlotPlace(Shape::kTop, SlotCell(row.slot, true), 0);
    EXPECT_EQ(shownTop.x - hiddenTop.x, 98) << "slot " << row.slot;
    const Place shownLeft = SlotPlace(Shape::kLeft, SlotCell(row.slot, false), 3);
    const Place hiddenLeft = SlotPlace(Shape::kLeft, SlotCell(row.slot, true), 3);
    EXPECT_EQ(shownLeft.y - hiddenLeft.y, 66) << "slot " << row.slot;
  }
}

TEST(LayoutTable, FlagWordsAreThePlatformBits) {
  EXPECT_EQ(kShownFlags, 0x40u | 0x20u | 0x04u);   // SHOWWINDOW | FRAMECHANGED | NOZORDER
  EXPECT_EQ(kHiddenFlags, 0x80u | 0x20u | 0x04u);  // HIDEWINDOW | FRAMECHANGED | NOZORDER
}

TEST(LayoutTable, ComboTickPerDropStateAndFlag) {
  struct Row {
    long long dropped;
    int expanded;
    ComboTick expected;
  } rows[] = {
      {1, 0, ComboTick::kEnlarge},          {1, 1, ComboTick::kNone},
      {0, 1, ComboTick::kRestore},          {0, 0, ComboTick::kNone},
      {2, 1, ComboTick::kRestore},          {-1, 0, ComboTick::kNone},
      {0x100000001LL, 0, ComboTick::kNone},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ComboTickAction(row.dropped, row.expanded), row.expected)
        << "dropped " << row.dropped << " expanded " << row.expanded;
  }
}
