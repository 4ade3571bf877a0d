#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "dock/slide_loop.h"
#include "dock/slide_steps.h"
#include "base/priority_table.h"

using namespace pinnafex;

namespace {

struct Move {
  Rect to;
  bool paused;  // a pause followed this move
};

// A window that only records where the slide puts it.
struct FakeWindow {
  Rect now;
  std::vector<Move> moves;
  std::vector<int> priorities;
  bool gone = false;
  SlideRecord* record = nullptr;  // for redirects from inside the slide
  int redirectAfter = -1;         // move count at which `redirect` is written
  Rect redirect{};
  int edge = 1;
};

bool WindowRect(void* window, Rect* out, void*) {
  auto* w = static_cast<FakeWindow*>(window);
  if (w->gone) return false;
  *out = w->now;
  return true;
}
void MoveTo(void* window, const Rect& to, void*) {
  auto* w = static_cast<FakeWindow*>(window);
  w->now = to;
  w->moves.push_back({to, false});
  if (static_cast<int>(w->moves.size()) == w->redirectAfter) {
    SetSlideTarget(*w->record, w, w->redirect, w->edge);
  }
}
void Pause(void* context) {
  static_cast<FakeWindow*>(context)->moves.back().paused = true;
}
void Priority(int level, void* context) {
  static_cast<FakeWindow*>(context)->priorities.push_back(level);
}

std::vector<Move> Slide(FakeWindow& w, const Rect& target, int edge) {
  SlideRecord record;
  std::atomic<int> running{0};
  w.record = &record;
  w.edge = edge;
  SetSlideTarget(record, &w, target, edge);
  RunSlide(record, running, SlideSink{WindowRect, MoveTo, Pause, Priority, &w});
  EXPECT_EQ(running.load(), 0) << "slide-running flag left set";
  return w.moves;
}

// The moving coordinate of each move, with "p" after each paused one.
std::string Trace(const std::vector<Move>& moves, bool vertical) {
  std::ostringstream os;
  for (const Move& m : moves) os << (vertical ? m.to.top : m.to.left) << (m.paused ? "p " : " ");
  return os.str();
}

// Expected trace: from `first` to `last` by `step`, all paused or none.
std::string Span(int first, int last, int step, bool paused) {
  std::ostringstream os;
  for (int v = first; step > 0 ? v <= last : v >= last; v += step) os << v << (paused ? "p " : " ");
  return os.str();
}

const Rect kTopShown{0, -20, 1024, 70};
const Rect kTopHidden{0, -88, 1024, 2};
const Rect kLeftShown{0, -20, 120, 768};
const Rect kLeftHidden{-118, -20, 2, 768};

}  // namespace

TEST(SlideSteps, MoveSequencesAtBothEdges) {
  struct Row {
    const char* what;
    int edge;
    Rect from, to;
    std::string expected;
    size_t moveCount;
  } rows[] = {
      {"top hide", 1, kTopShown, kTopHidden, Span(-20, -88, -1, true), 69},
      {"top show", 1, kTopHidden, kTopShown, Span(-88, -20, 1, false) + "-19p -20p ", 71},
      {"left show", 0, kLeftHidden, kLeftShown, Span(-118, 0, 2, false) + "2p 1p 0p ", 63},
      {"left hide", 0, kLeftShown, kLeftHidden, Span(0, -118, -1, true), 119},
      // The 2-pixel steps miss the target: two paused moves back.
      {"left show, odd",
       0,
       {-117, -20, 3, 768},
       kLeftShown,
       Span(-117, -1, 2, false) + "1p 0p ",
       61},
      {"top, start at target", 1, kTopShown, kTopShown, "-20 -19p -20p ", 3},
      {"left, start at target", 0, kLeftShown, kLeftShown, "0 2p 1p 0p ", 4},
      // Right and bottom slide sideways like the left edge.
      {"right edge", 2, {974, -20, 1024, 768}, {970, -20, 1020, 768}, Span(974, 970, -1, true), 5},
  };
  for (const Row& row : rows) {
    FakeWindow w{row.from, {}, {}};
    const std::vector<Move> moves = Slide(w, row.to, row.edge);
    EXPECT_EQ(Trace(moves, row.edge == 1), row.expected) << row.what;
    EXPECT_EQ(moves.size(), row.moveCount) << row.what;
    EXPECT_EQ(w.now, row.to) << row.what << ": ends at the target";
    // Every move carries the target's other coordinate and its size.
    for (const Move& m : moves) {
      if (row.edge == 1) {
        EXPECT_EQ(m.to.left, row.to.left) << row.what;
      } else {
        EXPECT_EQ(m.to.top, row.to.top) << row.what;
      }
      EXPECT_EQ(m.to.right - m.to.left, row.to.right - row.to.left) << row.what;
      EXPECT_EQ(m.to.bottom - m.to.top, row.to.bottom - row.to.top) << row.what;
    }
    EXPECT_EQ(w.priorities, (std::vector<int>{kLevelRealtime, kLevelNormal})) << row.what;
  }
}

TEST(SlideSteps, RedirectedMidway) {
  struct Row {
    const char* what;
    int edge;
    Rect from, to;
    int redirectAfter;
    Rect redirect;
    std::string expected;
    Rect endsAt;
  } rows[] = {
      // A show during a hide: the new target lies behind, so the hide stops where it is.
      {"top show during hide",
       1,
       kTopShown,
       kTopHidden,
       10,
       kTopShown,
       Span(-20, -29, -1, true),
       {0, -29, 1024, 61}},
      {"left show during hide",
       0,
       kLeftShown,
       kLeftHidden,
       5,
       kLeftShown,
       Span(0, -4, -1, true),
       {-4, -20, 116, 768}},
      // A hide during a show reverses the slide, which ends hidden.
      {"top hide during show", 1, kTopHidden, kTopShown, 30, kTopHidden,
       Span(-88, -59, 1, false) + Span(-58, -88, -1, true), kTopHidden},
      {"left hide during show", 0, kLeftHidden, kLeftShown, 20, kLeftHidden,
       Span(-118, -80, 2, false) + Span(-78, -118, -1, true), kLeftHidden},
  };
  for (const Row& row : rows) {
    FakeWindow w{row.from, {}, {}};
    w.redirectAfter = row.redirectAfter;
    w.redirect = row.redirect;
    const std::vector<Move> moves = Slide(w, row.to, row.edge);
    EXPECT_EQ(Trace(moves, row.edge == 1), row.expected) << row.what;
    EXPECT_EQ(w.now, row.endsAt) << row.what;
    EXPECT_EQ(w.priorities, (std::vector<int>{kLevelRealtime, kLevelNormal})) << row.what;
  }
}

TEST(SlideSteps, WindowGoneEndsTheSlideAtNormalPriority) {
  FakeWindow w{kTopShown, {}, {}};
  w.gone = true;
  EXPECT_TRUE(Slide(w, kTopHidden, 1).empty());
  EXPECT_EQ(w.priorities, (std::vector<int>{kLevelRealtime, kLevelNormal}));
}

TEST(SlideSteps, RunningFlagSetMeansNoMoveAndNoPriority) {
  FakeWindow w{kTopShown, {}, {}};
  SlideRecord record;
  std::atomic<int> running{1};
  SetSlideTarget(record, &w, kTopHidden, 1);
  RunSlide(record, running, SlideSink{WindowRect, MoveTo, Pause, Priority, &w});
  EXPECT_TRUE(w.moves.empty());
  EXPECT_TRUE(w.priorities.empty());
  EXPECT_EQ(running.load(), 1) << "another slide's flag must stay set";
}

TEST(SlideSteps, StepFunctionEndsAtTheEdgesOfInt) {
  // Coordinates at the ends of int must not wrap or loop for ever.
  struct Row {
    SlideCursor start;
    int target;
    bool vertical;
    int maxMoves;
  } rows[] = {
      {{INT_MAX - 3, SlidePhase::kOnto}, INT_MAX, false, 4},
      {{INT_MAX, SlidePhase::kOnto}, INT_MAX, true, 3},
      {{INT_MIN + 2, SlidePhase::kOnto}, INT_MIN, true, 3},
      {{INT_MIN, SlidePhase::kBack}, INT_MIN, false, 1},
  };
  for (const Row& row : rows) {
    SlideCursor c = row.start;
    int moves = 0;
    for (SlideStep s = NextSlideStep(c, row.target, row.vertical); s.move;
         s = NextSlideStep(c, row.target, row.vertical)) {
      c = s.next;
      ASSERT_LE(++moves, row.maxMoves) << "from " << row.start.at << " to " << row.target;
    }
    EXPECT_GE(moves, 1) << "from " << row.start.at << " to " << row.target;
  }
}
