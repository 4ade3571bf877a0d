#include <gtest/gtest.h>

#include "shell/copy_arming.h"

namespace pinnafex {
namespace {

// Keys (slot index 3) and ticks at times in ms, with the clipboard's sequence number.
TEST(CopyArming, TheSlotKeyCopiesWithinThreeSecondsAndTheClipboardDecidesWithinOne) {
  constexpr KeyEvent C = KeyEvent::kCopyKey, S = KeyEvent::kSlotKey, T = KeyEvent::kTick;
  using A = KeyAction;
  constexpr unsigned W = 0u - 1000;  // a second before the millisecond count wraps
  const struct {
    KeyEvent event;
    unsigned atMs, sequence;
    KeyAction expected;
  } steps[] = {
      {S, 0, 7, A::kPaste},     {C, 0, 7, A::kArm},
      {T, 2999, 7, A::kNone},   {S, 2999, 7, A::kCopy},
      {S, 3000, 7, A::kBusy},   {C, 3000, 7, A::kBusy},
      {T, 3998, 7, A::kNone},   {T, 3999, 8, A::kPush},
      {S, 4000, 8, A::kPaste},  {C, W, 8, A::kArm},
      {C, 500, 8, A::kDisarm},  {S, 600, 8, A::kPaste},
      {C, 1, 8, A::kArm},       {T, 3000, 8, A::kNone},
      {T, 3001, 8, A::kDisarm}, {C, 4000, 8, A::kArm},
      {S, 7000, 8, A::kPaste},  {C, 8000, 8, A::kArm},
      {C, 11000, 8, A::kArm},   {S, 13999, 8, A::kCopy},
      {T, 14998, 8, A::kNone},  {T, 14999, 8, A::kNothingCopied},
      {T, 15000, 9, A::kNone},
  };
  CopyArming state;
  for (const auto& step : steps) {
    EXPECT_EQ(StepCopyArming(state, step.event, 3, step.atMs, step.sequence), step.expected)
        << "at " << step.atMs;
    if (step.expected == A::kPush) EXPECT_EQ(state.slot, 3);
  }
}

}  // namespace
}  // namespace pinnafex
