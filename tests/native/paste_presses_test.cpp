#include <tuple>

#include <gtest/gtest.h>

#include "borrow/borrow_rules.h"
#include "shell/hotkey_presses.h"

namespace pinnafex {
namespace {

// Key events the watch sees ('d' down, 'u' up) and WM_HOTKEYs ('h', with the system's modifiers
// agreeing or 'x' not), at times in ms; the counters start just before they wrap.
TEST(Presses, EachPressActsOnceInOrderAndAMissedOneIsTold) {
  using V = PressVerdict;
  const std::tuple<char, unsigned, V> steps[] = {
      {'d', 100, V::kAct},    {'h', 100, V::kAct},    {'h', 130, V::kRepeat},  // held
      {'u', 200, V::kAct},    {'d', 300, V::kAct},    {'u', 310, V::kAct},     // two quick taps,
      {'d', 320, V::kAct},    {'u', 330, V::kAct},    {'h', 300, V::kAct},     // handled late
      {'h', 320, V::kAct},    {'h', 325, V::kRepeat}, {'d', 400, V::kAct},     // a repeat queued
      {'h', 400, V::kAct},    {'u', 450, V::kAct},    {'h', 430, V::kRepeat},  // before the up
      {'h', 600, V::kWatchLost},                                               // never seen
      {'d', 700, V::kAct},    {'x', 700, V::kWatchLost}, {'h', 700, V::kAct},
  };
  WatchedKey key{0u - 2, false, 0};
  unsigned acted = key.presses;
  for (const auto& [event, atMs, expected] : steps) {
    if (event == 'd') key.presses += !key.down;
    if (event == 'd' || event == 'u') key.down = event == 'd';
    if (event == 'u') key.upMs = atMs;
    if (event == 'h' || event == 'x')
      EXPECT_EQ(JudgeHotkey(key, acted, atMs, event == 'h'), expected) << "at " << atMs;
  }
  PressQueue queue;
  for (int slot = 0; slot < 40; ++slot) EXPECT_EQ(QueuePress(queue, slot), slot < 32);
  for (int slot = 0; slot < 33; ++slot) EXPECT_EQ(NextPress(queue), slot < 32 ? slot : -1);
}

// A paste's end and the next paste's start, around the millisecond count's wrap.
TEST(Loan, TheClipboardGoesBackAfterTheReadOrTheWaitAndEachPressWaitsForItsRead) {
  using S = LoanStep;
  constexpr unsigned B = 0u - 1000;
  const std::tuple<bool, bool, unsigned, bool, bool, unsigned, S> rows[] = {
      // open, read, readMs, queued, ours, nowMs
      {false, false, 0, false, true, B, S::kWait},      {false, false, 0, true, false, B, S::kNextPaste},
      {true, false, 0, false, true, B + 1999, S::kWait}, {true, false, 0, false, true, B + 2000, S::kGiveBack},
      {true, false, 0, true, true, B + 1999, S::kWait},  {true, false, 0, true, true, B + 2000, S::kNextPaste},
      {true, true, B + 300, false, true, B + 799, S::kWait},
      {true, true, B + 300, false, true, B + 800, S::kGiveBack},
      {true, true, B + 300, true, true, B + 301, S::kNextPaste},
      {true, true, B + 300, true, false, B + 301, S::kLetGo},
  };
  for (const auto& [open, read, readMs, queued, ours, nowMs, expected] : rows)
    EXPECT_EQ(StepLoan({open, read, B, readMs}, queued, ours, nowMs), expected) << nowMs - B;
}

// What a keeping copies: the data, not what only its source can read or OLE's live object.
TEST(Loan, KeptFormats) {
  const std::tuple<unsigned, const char*, bool> kept[] = {
      {1, nullptr, true},         {0x80, nullptr, false}, {0x8E, nullptr, false},
      {0x2FF, nullptr, false},    {0x300, nullptr, false}, {0x3FF, nullptr, false},
      {0xC0A0, "Rich Text Format", true}, {0xC0A1, "DataObject", false},
      {0xC0A2, "Ole Private Data", false},
  };
  for (const auto& [format, name, keeps] : kept) EXPECT_EQ(KeepsFormat(format, name), keeps) << format;
  EXPECT_TRUE(DerivedFrom(kFormatUnicodeText, kFormatText));
  EXPECT_TRUE(DerivedFrom(kFormatDib, kFormatBitmap));
  EXPECT_FALSE(DerivedFrom(kFormatDib, kFormatText));
}

}  // namespace
}  // namespace pinnafex
