// The slide's stepping, one move at a time, shared by the slide thread and its tests.
#pragma once

namespace pinnafex {

constexpr int kVerticalStep = 1;    // onto the monitor at the top and the bottom edge
constexpr int kHorizontalStep = 2;  // onto the monitor at the left and the right edge
constexpr int kBackStep = 1;        // back towards the target, pausing after each move
constexpr unsigned kSlidePauseMs = 5;

enum class SlidePhase {
  kOnto,  // coordinate at or before the target: step towards it without pauses
  kBack,  // coordinate at or beyond the target: step back to it, pausing after each move
  kDone,
};

struct SlideCursor {
  int at;  // the moving coordinate: the window's top (vertical) or left
  SlidePhase phase;
};

struct SlideStep {
  bool move;         // false: the slide is over
  int at;            // where to move the window's moving coordinate
  bool pause;        // pause after the move
  SlideCursor next;  // the cursor for the following step
};

// One step of a slide towards `target`, which the caller reads afresh before every step.
SlideStep NextSlideStep(SlideCursor cursor, int target, bool vertical);

}  // namespace pinnafex
