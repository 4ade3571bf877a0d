#include "dock/slide_steps.h"

#include <climits>

namespace pinnafex {

SlideStep NextSlideStep(SlideCursor cursor, int target, bool vertical) {
  const int step = vertical ? kVerticalStep : kHorizontalStep;
  if (cursor.phase == SlidePhase::kOnto) {
    if (cursor.at <= target) {
      // Near the top of int the next step would wrap; turn back there instead.
      const SlideCursor next = cursor.at <= INT_MAX - step
                                   ? SlideCursor{cursor.at + step, SlidePhase::kOnto}
                                   : SlideCursor{cursor.at, SlidePhase::kBack};
      return {true, cursor.at, false, next};
    }
    cursor.phase = SlidePhase::kBack;
  }
  if (cursor.phase == SlidePhase::kBack && cursor.at >= target) {
    const SlideCursor next = cursor.at > INT_MIN
                                 ? SlideCursor{cursor.at - kBackStep, SlidePhase::kBack}
                                 : SlideCursor{cursor.at, SlidePhase::kDone};
    return {true, cursor.at, true, next};
  }
  return {false, cursor.at, false, {cursor.at, SlidePhase::kDone}};
}

}  // namespace pinnafex
