#include <vector>

#include <gtest/gtest.h>

#include "shell/copy_arming.h"

namespace pinnafex {
namespace {

struct Step {
  KeyEvent event;
  unsigned atMs;
  unsigned sequence;  // the clipboard's
  KeyAction expected;
};
constexpr KeyEvent C = KeyEvent::kCopyKey, S = KeyEvent::kSlotKey, T = KeyEvent::kTick;
constexpr unsigned kWrap = 0u - 1000;  // a second before the millisecond count wraps

// Each run starts unarmed; slot keys are slot index 3.
TEST(CopyArming, TheSlotKeyCopiesWithinThreeSecondsAndTheClipboardDecidesWithinOne) {
  const struct {
    const char* what;
    std::vector<Step> steps;
  } runs[] = {
      {"a slot key alone pastes", {{S, 0, 7, KeyAction::kPaste}, {T, 10, 8, KeyAction::kNone}}},
      {"armed, copied, pushed",
       {{C, 0, 7, KeyAction::kArm},
        {T, 2999, 7, KeyAction::kNone},
        {S, 2999, 7, KeyAction::kCopy},
        {T, 3500, 7, KeyAction::kNone},
        {T, 3900, 8, KeyAction::kPush},
        {S, 4000, 8, KeyAction::kPaste}}},
      {"armed across the wrap",
       {{C, kWrap, 1, KeyAction::kArm},
        {S, 1999, 1, KeyAction::kCopy},
        {T, 2998, 1, KeyAction::kNone},
        {T, 2999, 1, KeyAction::kNothingCopied}}},
      {"nothing copied within the second",
       {{C, 0, 7, KeyAction::kArm},
        {S, 100, 7, KeyAction::kCopy},
        {T, 1099, 7, KeyAction::kNone},
        {T, 1100, 7, KeyAction::kNothingCopied},
        {T, 1200, 9, KeyAction::kNone}}},
      {"keys while the copy waits",
       {{C, 0, 7, KeyAction::kArm},
        {S, 100, 7, KeyAction::kCopy},
        {S, 200, 7, KeyAction::kBusy},
        {C, 300, 7, KeyAction::kBusy},
        {T, 400, 8, KeyAction::kPush}}},
      {"the copy key twice disarms",
       {{C, 0, 7, KeyAction::kArm},
        {C, 500, 7, KeyAction::kDisarm},
        {S, 600, 7, KeyAction::kPaste},
        {T, 700, 8, KeyAction::kNone}}},
      {"three seconds disarm",
       {{C, 0, 7, KeyAction::kArm},
        {T, 3000, 7, KeyAction::kDisarm},
        {S, 3000, 7, KeyAction::kPaste}}},
      {"a late slot key pastes, unticked",
       {{C, 0, 7, KeyAction::kArm},
        {S, 3000, 7, KeyAction::kPaste},
        {T, 3100, 8, KeyAction::kNone}}},
      {"a late copy key arms afresh",
       {{C, 0, 7, KeyAction::kArm}, {C, 5000, 7, KeyAction::kArm}, {S, 7999, 7, KeyAction::kCopy}}},
  };
  for (const auto& run : runs) {
    CopyArming state;
    for (const Step& step : run.steps) {
      EXPECT_EQ(StepCopyArming(state, step.event, 3, step.atMs, step.sequence), step.expected)
          << run.what << " at " << step.atMs;
      if (step.expected == KeyAction::kPush) EXPECT_EQ(state.slot, 3) << run.what;
    }
  }
}

}  // namespace
}  // namespace pinnafex
