#include <sstream>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "borrow/borrow_rules.h"
#include "shell/hotkey_presses.h"

namespace pinnafex {
namespace {

// Key events the watch sees (d down, u up) and WM_HOTKEYs (h, or x with the system's modifiers
// disagreeing) at times in ms, each hotkey with its verdict (A act, R repeat, L watch lost): a key
// held, two quick taps handled late, a repeat queued before the up, a press never seen. The
// counters start just before they wrap.
TEST(Presses, EachPressActsOnceInOrderAndAMissedOneIsTold) {
  std::istringstream script(
      "d100 h100A h130R u200 d300 u310 d320 u330 h300A h320A h325R d400 h400A u450 h430R h600L "
      "d700 x700L h700A");
  WatchedKey key{0u - 2, false, 0};
  unsigned acted = key.presses;
  for (std::string step; script >> step;) {
    const char event = step[0], verdict = step.back();
    const unsigned atMs = static_cast<unsigned>(std::stoul(step.substr(1)));
    if (event == 'd') key.presses += !key.down;
    if (event == 'd' || event == 'u') key.down = event == 'd';
    if (event == 'u') key.upMs = atMs;
    if (event != 'h' && event != 'x') continue;
    const PressVerdict got = JudgeHotkey(key, acted, atMs, event == 'h');
    EXPECT_EQ("ARL"[static_cast<int>(got)], verdict) << step;
  }
}

// A paste's end and the next paste's start, around the millisecond count's wrap.
TEST(Loan, TheClipboardGoesBackAfterTheReadOrTheWaitAndEachPressWaitsForItsRead) {
  using S = LoanStep;
  constexpr unsigned B = 0u - 1000;
  const std::tuple<bool, bool, unsigned, bool, bool, unsigned, S> rows[] = {
      // open, read, readMs, queued, ours, nowMs
      {false, false, 0, false, true, B, S::kWait},
      {false, false, 0, true, false, B, S::kNextPaste},
      {true, false, 0, false, true, B + 1999, S::kWait},
      {true, false, 0, false, true, B + 2000, S::kGiveBack},
      {true, false, 0, true, true, B + 1999, S::kWait},
      {true, false, 0, true, true, B + 2000, S::kNextPaste},
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
  for (const unsigned format : {0x80u, 0x8Eu, 0x2FFu, 0x300u, 0x3FFu})
    EXPECT_FALSE(KeepsFormat(format, nullptr)) << format;
  for (const char* ole : {"DataObject", "Ole Private Data", "Embed Source"})
    EXPECT_FALSE(KeepsFormat(0xC0A1, ole)) << ole;
  EXPECT_TRUE(KeepsFormat(kFormatText, nullptr) && KeepsFormat(0xC0A0, "Rich Text Format"));
  EXPECT_TRUE(DerivedFrom(kFormatUnicodeText, kFormatText));
  EXPECT_TRUE(DerivedFrom(kFormatDib, kFormatBitmap));
  EXPECT_FALSE(DerivedFrom(kFormatDib, kFormatText));
}

}  // namespace
}  // namespace pinnafex
