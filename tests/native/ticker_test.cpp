#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "clock/clock_text.h"
#include "clock/clock_time.h"
#include "fake_clock.h"
#include "clock/ticker.h"

namespace pinnafex {
namespace {

const char* const kDigital0905 = "09:05:31  Sonntag, 06.12.2026";                 // 29 characters
const char* const kLongestPhrase = "Sieben nach dreiviertel Zw\xF6lf Mahlzeit!";  // 11:52, 39

// What one pass handed out: the windows after its refill call.
struct Pass {
  std::vector<std::string> windows;
  int ticks = 0;  // the refill call that began it included
};

// Call right after a refill: collects the pass's windows up to the next refill call, which
// already begins the following pass.
Pass ScrollPass(unsigned char width) {
  Pass pass;
  pass.ticks = 1;
  for (int guard = 0; guard < 1000; ++guard) {
    const char* window = TickerText(width);
    if (!window) return pass;
    pass.windows.emplace_back(window);
    ++pass.ticks;
  }
  ADD_FAILURE() << "pass never ended";
  return pass;
}

// A pass of the text for `time`, from a fresh ticker.
Pass PassAt(const ClockTime& time, unsigned char width) {
  ResetTicker();
  gFakeTime = time;
  EXPECT_EQ(TickerText(width), nullptr) << "a fresh ticker begins with a refill";
  return ScrollPass(width);
}

class TickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetLocalTimeSource(FakeLocalTime);
    gFakeTime = At(9, 5, 31);
    gFakeReads = 0;
    ResetBanner();
    ResetTicker();
  }
  void TearDown() override {
    SetLocalTimeSource(previous_);
    ResetBanner();
    ResetTicker();
  }

 private:
  LocalTimeSource previous_ = nullptr;
};

TEST_F(TickerTest, FirstCallsFillThenScrollInFromTheRight) {
  EXPECT_EQ(TickerText(25), nullptr);
  EXPECT_EQ(std::string(gTickerBuffer), std::string(25, ' ') + kDigital0905);
  const char* second = TickerText(25);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(std::string(second), std::string(25, ' '));
  const char* third = TickerText(25);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(std::string(third), std::string(24, ' ') + "0");
}

TEST_F(TickerTest, PassShowsEveryWindowOfTheText) {
  const std::string text = kDigital0905;
  const Pass pass = PassAt(At(9, 5, 31), 25);
  const std::string line = std::string(25, ' ') + text;
  ASSERT_EQ(pass.windows.size(), 25 + text.size());
  for (std::size_t p = 0; p < pass.windows.size(); ++p) {
    EXPECT_EQ(pass.windows[p], line.substr(p, 25)) << "position " << p;
  }
  EXPECT_EQ(pass.windows[25], text.substr(0, 25));
  EXPECT_EQ(pass.windows.back(), "6");
}

TEST_F(TickerTest, PassLastsTwentySixTicksPlusTheTextLength) {
  struct Row {
    ClockTime time;
    int ticks;
  };
  const Row rows[] = {
      {At(9, 5, 31), 55},   // 29-character digital text
      {At(23, 0, 0), 36},   // "Genau Elf ", 10 characters
      {At(11, 52, 0), 65},  // the longest phrase
  };
  for (const Row& row : rows) {
    const Pass pass = PassAt(row.time, 25);
    EXPECT_EQ(pass.ticks, row.ticks) << "text \"" << pass.windows.back() << "\" at the end";
    for (const std::string& window : pass.windows) {
      EXPECT_LE(window.size(), 25u) << "\"" << window << "\"";
    }
  }
}

TEST_F(TickerTest, TextIsFetchedOncePerPassAndKeepsItsSecond) {
  TickerText(25);
  EXPECT_EQ(gFakeReads, 1);
  gFakeTime = At(9, 5, 39);  // the clock runs on while the pass scrolls
  std::string last;
  for (const char* window = TickerText(25); window; window = TickerText(25)) last = window;
  EXPECT_EQ(gFakeReads, 2) << "one read for the pass, one for the refill that ended it";
  EXPECT_EQ(last, "6");
  EXPECT_EQ(std::string(gTickerBuffer), std::string(25, ' ') + "09:05:39  Sonntag, 06.12.2026");
}

TEST_F(TickerTest, BannerPassesEndWithTheEmptyText) {
  const Pass start = PassAt(At(7, 12, 45), 25);
  EXPECT_EQ(start.windows.back(), " ") << "the pass that starts the banner shows the phrase";
  ASSERT_EQ(gBannerMode, 1);
  gFakeTime = At(7, 13, 0);  // the clock has moved on when the banner is over
  int ticks = 0;
  Pass last;
  for (int passNumber = 1; passNumber <= 38; ++passNumber) {
    last = ScrollPass(25);
    ticks += last.ticks;
  }
  EXPECT_EQ(ticks, 1663) << "38 banner passes at the width 25";
  EXPECT_EQ(gBannerMode, 0);
  ASSERT_EQ(last.ticks, 26) << "the empty text's pass";
  for (std::size_t p = 0; p < last.windows.size(); ++p) {
    EXPECT_EQ(last.windows[p], std::string(25 - p, ' ')) << "position " << p;
  }
}

TEST_F(TickerTest, WideFieldsCutTheBlanksNotTheText) {
  struct Row {
    unsigned width;
    std::size_t blanks;  // the 39-character text leaves room for 215 blanks
  };
  const Row rows[] = {{255, 215}, {254, 215}, {216, 215}, {215, 215},
                      {214, 214}, {25, 25},   {1, 1},     {0, 0}};
  const std::string text = kLongestPhrase;
  for (const Row& row : rows) {
    const Pass pass = PassAt(At(11, 52, 0), static_cast<unsigned char>(row.width));
    const std::string line = std::string(row.blanks, ' ') + text;
    ASSERT_EQ(pass.windows.size(), line.size()) << "width " << row.width;
    for (std::size_t p = 0; p < pass.windows.size(); ++p) {
      EXPECT_EQ(pass.windows[p], line.substr(p, row.width)) << "width " << row.width << " at " << p;
    }
    if (row.width > 0) {
      EXPECT_EQ(pass.windows.back(), "!") << "width " << row.width;
    }
  }
}

TEST_F(TickerTest, WindowIsNeverLongerThanTheWidth) {
  gFakeTime = At(11, 52, 0);
  TickerText(200);
  for (unsigned width = 0; width <= 255; ++width) {
    const char* window = TickerText(static_cast<unsigned char>(width));
    if (!window) break;
    EXPECT_LE(std::strlen(window), width) << "width " << width;
  }
}

TEST_F(TickerTest, NoticeShowsAtOnceThenTheClockGoesOn) {
  struct Row {
    unsigned maxTicks;
    std::size_t windows;  // handed out before the clock's refill
    const char* last;
  };
  const Row rows[] = {
      {0, 13, "e"},            // scrolls until it has left
      {2, 2, "eld by a.exe"},  // cut short by its time
      {99, 13, "e"},           // a limit past its length changes nothing
  };
  for (const Row& row : rows) {
    ResetTicker();
    TickerText(25);
    TickerText(25);  // mid-way through a clock pass
    ShowTickerNotice("Held by a.exe", row.maxTicks);
    std::vector<std::string> seen;
    for (const char* window = TickerText(25); window; window = TickerText(25)) {
      seen.emplace_back(window);
    }
    ASSERT_EQ(seen.size(), row.windows) << "limit " << row.maxTicks;
    EXPECT_EQ(seen.front(), "Held by a.exe") << "limit " << row.maxTicks;
    EXPECT_EQ(seen.back(), row.last) << "limit " << row.maxTicks;
    EXPECT_EQ(std::string(gTickerBuffer), std::string(25, ' ') + kDigital0905)
        << "the clock pass begins again after the notice, limit " << row.maxTicks;
  }
}

}  // namespace
}  // namespace pinnafex
