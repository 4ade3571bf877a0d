#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "clock/clock_text.h"
#include "clock/clock_time.h"
#include "clock/ticker.h"

namespace pinnafex {
namespace {

ClockTime gFakeTime;
int gFakeReads = 0;

// Sunday, 6 December 2026.
ClockTime At(int hour, int minute, int second) {
  return {second, minute, hour, 6, 11, 2026, 0};
}

struct ClockTextTest : ::testing::Test {
  void SetUp() override {
    SetLocalTimeSource([](ClockTime& out) {
      ++gFakeReads;
      out = gFakeTime;
      return true;
    });
    gFakeReads = 0;
    ResetBanner();
    ResetTicker();
  }
  void TearDown() override { SetLocalTimeSource(nullptr); }
  static std::string TextAt(const ClockTime& t) {
    gFakeTime = t;
    return MakeClockText();
  }
};

// The phrase told the regional way, written out from the band rules; twelve is number 0.
std::string ExpectedPhrase(int hour, int minute) {
  static const char* const kNumber[12] = {"Zw\xF6lf", "Eins",   "Zwei", "Drei", "Vier", "F\xFCnf",
                                          "Sechs",    "Sieben", "Acht", "Neun", "Zehn", "Elf"};
  static const char* const kQuarter[5] = {"", "viertel ", "halb ", "dreiviertel ", ""};
  const int band = (minute + 7) / 15;  // 0..7 the hour, 8..22 viertel, ... 53..59 the next
  const int offset = minute - band * 15;
  std::string told = offset == 0 ? "Genau" : kNumber[std::abs(offset)];
  told += offset < 0 ? " vor" : offset > 0 ? " nach" : "";
  const bool lunchtime = hour >= 11 && hour <= 13;
  return told + " " + kQuarter[band] + kNumber[(hour + (band > 0)) % 12] + " " +
         (lunchtime ? "Mahlzeit!" : "");
}

TEST_F(ClockTextTest, EveryMinuteOfTheDayIsToldByItsBand) {
  for (int minute = 0; minute < 24 * 60; ++minute) {
    EXPECT_EQ(TextAt(At(minute / 60, minute % 60, 0)), ExpectedPhrase(minute / 60, minute % 60))
        << minute / 60 << ":" << minute % 60;
  }
}

// Digits and the date on seconds 10..19, 30..39 and 50..59; the banner from 12:45 past any hour
// for thirty-eight calls, whatever the time says meanwhile; a failed read keeps the last time.
TEST_F(ClockTextTest, DigitsDateAndBannerByteForByte) {
  const std::pair<ClockTime, std::string> rows[] = {
      {At(5, 5, 9), "F\xFCnf nach F\xFCnf "},
      {At(5, 5, 10), "05:05:10  Sonntag, 06.12.2026"},
      {At(5, 5, 60), "F\xFCnf nach F\xFCnf "},  // leap second
      {{59, 59, 23, 31, 11, 2026, 4}, "23:59:59  Donnerstag, 31.12.2026"},
      {At(7, 12, 44), "Drei vor viertel Acht "},
      {At(12, 45, 12), "12:45:12  Sonntag, 06.12.2026"},
      {At(11, 52, 0), "Sieben nach dreiviertel Zw\xF6lf Mahlzeit!"},  // the longest, before
      {At(12, 12, 45), "Drei vor viertel Eins Mahlzeit!"},
  };
  for (const auto& [time, text] : rows) EXPECT_EQ(TextAt(time), text);
  const std::string banner = kBannerText;
  for (std::size_t call = 0; call < 38; ++call) {
    const std::string expected = call < banner.size() ? banner.substr(call, 30) : "";
    EXPECT_EQ(TextAt(At(call % 24, call, 0)), expected) << "banner call " << call;
  }
  EXPECT_EQ(TextAt(At(7, 16, 31)), "07:16:31  Sonntag, 06.12.2026");
  EXPECT_EQ(gFakeReads, 47) << "the time is read on every call";
  SetLocalTimeSource([](ClockTime&) { return false; });
  EXPECT_EQ(TextAt(At(9, 5, 31)), "07:16:31  Sonntag, 06.12.2026");
}

TEST_F(ClockTextTest, TickerScrollsTheClockOrANoticeThroughTheFieldWithinItsBuffer) {
  const std::string longest = "Sieben nach dreiviertel Zw\xF6lf Mahlzeit!";  // 39 characters
  const std::string held = "Held by a.exe", huge(400, 'x');
  const auto clock = [&](unsigned blanks) { return std::string(blanks, ' ') + longest; };
  // Width, notice and its tick limit, the line scrolled and the windows shown. The buffer
  // holds 254 characters: wide fields cut the blanks, never the text; a notice starts at the
  // left edge and runs out, or stops at its limit.
  const std::tuple<unsigned, std::string, unsigned, std::string, std::size_t> rows[] = {
      {215, "", 0, clock(215), 254}, {214, "", 0, clock(214), 253},
      {25, "", 0, clock(25), 64},    {0, "", 0, longest, 39},
      {25, held, 0, held, 13},       {25, held, 2, held, 2},
      {25, held, 99, held, 13},      {25, huge, 0, huge.substr(0, 254), 254}};
  for (const auto& [width, notice, maxTicks, line, count] : rows) {
    ResetTicker();
    gFakeTime = At(11, 52, 0);
    const auto field = static_cast<unsigned char>(width);
    EXPECT_EQ(TickerText(field), nullptr) << "first a refill";
    if (!notice.empty()) ShowTickerNotice(notice.c_str(), maxTicks);
    std::vector<std::string> windows;  // until the next refill
    while (const char* w = windows.size() < 1000 ? TickerText(field) : nullptr)
      windows.push_back(w);
    ASSERT_EQ(windows.size(), count) << "width " << width << " notice " << notice.size();
    for (std::size_t p = 0; p < count; ++p) EXPECT_EQ(windows[p], line.substr(p, width)) << p;
    EXPECT_EQ(std::string(gTickerBuffer), clock(width < 215 ? width : 215)) << "clock again";
  }
  EXPECT_EQ(gFakeReads, 2 * 8) << "one read per refill";
}

}  // namespace
}  // namespace pinnafex
