#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "clock/clock_text.h"
#include "clock/clock_time.h"
#include "fake_clock.h"

namespace pinnafex {
namespace {

std::string Clock(int hour, int minute) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
  return text;
}

class ClockTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetLocalTimeSource(FakeLocalTime);
    gFakeTime = At(0, 0, 0);
    gFakeReads = 0;
    gFakeFails = false;
    ResetBanner();
  }
  void TearDown() override {
    SetLocalTimeSource(previous_);
    ResetBanner();
  }
  std::string TextAt(const ClockTime& t) {
    gFakeTime = t;
    return MakeClockText();
  }

 private:
  LocalTimeSource previous_ = nullptr;
};

// The phrase told the regional way, written out from the band rules.
std::string ExpectedPhrase(int hour, int minute) {
  static const char* const kHourName[12] = {"Zw\xF6lf", "Eins",   "Zwei", "Drei", "Vier", "F\xFCnf",
                                            "Sechs",    "Sieben", "Acht", "Neun", "Zehn", "Elf"};
  static const char* const kCount[8] = {"",     "Eins",    "Zwei",  "Drei",
                                        "Vier", "F\xFCnf", "Sechs", "Sieben"};
  int reference = 0;
  const char* quarter = "";
  int named = hour + 1;
  if (minute <= 7) {
    named = hour;
  } else if (minute <= 22) {
    reference = 15;
    quarter = "viertel ";
  } else if (minute <= 37) {
    reference = 30;
    quarter = "halb ";
  } else if (minute <= 52) {
    reference = 45;
    quarter = "dreiviertel ";
  } else {
    reference = 60;
  }
  const int offset = minute - reference;
  std::string told = offset == 0 ? "Genau" : kCount[std::abs(offset)];
  if (offset < 0) told += " vor";
  if (offset > 0) told += " nach";
  const bool lunchtime = hour >= 11 && hour <= 13;
  return told + " " + quarter + kHourName[named % 12] + " " + (lunchtime ? "Mahlzeit!" : "");
}

TEST_F(ClockTextTest, EveryMinuteOfTheDayIsToldByItsBand) {
  for (int hour = 0; hour < 24; ++hour) {
    for (int minute = 0; minute < 60; ++minute) {
      EXPECT_EQ(TextAt(At(hour, minute, 0)), ExpectedPhrase(hour, minute))
          << "at " << Clock(hour, minute);
    }
  }
}

TEST_F(ClockTextTest, ExamplePhrasesByteForByte) {
  struct Row {
    int hour, minute;
    const char* phrase;
  };
  const Row rows[] = {
      {14, 0, "Genau Zwei "},
      {14, 7, "Sieben nach Zwei "},
      {14, 8, "Sieben vor viertel Drei "},
      {14, 15, "Genau viertel Drei "},
      {14, 23, "Sieben vor halb Drei "},
      {14, 45, "Genau dreiviertel Drei "},
      {14, 55, "F\xFCnf vor Drei "},
      {11, 30, "Genau halb Zw\xF6lf Mahlzeit!"},
      {12, 3, "Drei nach Zw\xF6lf Mahlzeit!"},
      {13, 59, "Eins vor Zwei Mahlzeit!"},
      {0, 5, "F\xFCnf nach Zw\xF6lf "},
      {23, 53, "Sieben vor Zw\xF6lf "},
      {0, 0, "Genau Zw\xF6lf "},
      {0, 7, "Sieben nach Zw\xF6lf "},
      {0, 8, "Sieben vor viertel Eins "},
      {12, 0, "Genau Zw\xF6lf Mahlzeit!"},
      {23, 59, "Eins vor Zw\xF6lf "},
      {10, 59, "Eins vor Elf "},
      {11, 0, "Genau Elf Mahlzeit!"},
      {11, 52, "Sieben nach dreiviertel Zw\xF6lf Mahlzeit!"},  // the longest, 39 characters
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TextAt(At(row.hour, row.minute, 0)), row.phrase)
        << "at " << Clock(row.hour, row.minute);
  }
}

TEST_F(ClockTextTest, UmlautsAreWindows1252Bytes) {
  const std::string five = TextAt(At(14, 55, 0));
  ASSERT_GE(five.size(), 4u) << five;
  EXPECT_EQ(five.substr(0, 4), std::string("\x46\xFC\x6E\x66")) << five;
  const std::string twelve = TextAt(At(0, 0, 0));
  EXPECT_EQ(twelve, std::string("Genau \x5A\x77\xF6\x6C\x66 ")) << twelve;
}

TEST_F(ClockTextTest, TensDigitOfTheSecondChoosesTheKind) {
  const std::string phrase = "F\xFCnf nach F\xFCnf ";  // 05:05 is outside the banner minute
  struct Row {
    int second;
    std::string text;
  };
  const Row rows[] = {
      {0, phrase},
      {9, phrase},
      {10, "05:05:10  Sonntag, 06.12.2026"},
      {19, "05:05:19  Sonntag, 06.12.2026"},
      {20, phrase},
      {29, phrase},
      {31, "05:05:31  Sonntag, 06.12.2026"},
      {40, phrase},
      {45, phrase},
      {50, "05:05:50  Sonntag, 06.12.2026"},
      {59, "05:05:59  Sonntag, 06.12.2026"},
      {60, phrase},  // leap second
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TextAt(At(5, 5, row.second)), row.text) << "second " << row.second;
  }
}

TEST_F(ClockTextTest, DigitalTextExamples) {
  EXPECT_EQ(TextAt(At(9, 5, 31)), "09:05:31  Sonntag, 06.12.2026");
  ClockTime newYearsEve = At(23, 59, 59);
  newYearsEve.day = 31;
  newYearsEve.weekday = 4;
  const std::string longest = TextAt(newYearsEve);
  EXPECT_EQ(longest, "23:59:59  Donnerstag, 31.12.2026");
  EXPECT_EQ(longest.size(), 32u);
}

TEST_F(ClockTextTest, DateTextNamesEachWeekday) {
  const char* const names[7] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                "Donnerstag", "Freitag", "Samstag"};
  for (int weekday = 0; weekday < 7; ++weekday) {
    gClockTime = At(8, 0, 0);
    gClockTime.weekday = weekday;
    gClockTime.day = 1 + weekday;
    gClockTime.month = 0;
    EXPECT_EQ(std::string(FormatDateText()),
              std::string(names[weekday]) + ", 0" + std::to_string(1 + weekday) + ".01.2026")
        << "weekday " << weekday;
  }
}

TEST_F(ClockTextTest, AnyTimeRecordGivesACompleteText) {
  struct Row {
    const char* what;
    ClockTime time;
    std::string text;
  };
  const Row rows[] = {
      {"five-digit year", {15, 59, 23, 31, 11, 12026, 4}, "23:59:15  Donnerstag, 31.12.12026"},
      {"leap second before midnight", {60, 59, 23, 31, 11, 2016, 6}, "Eins vor Zw\xF6lf "},
      {"one-digit year", {10, 0, 0, 1, 0, 7, 1}, "00:00:10  Montag, 01.01.07"},
      {"weekday past Saturday", {10, 0, 0, 1, 0, 2026, 7}, "00:00:10  Sonntag, 01.01.2026"},
      {"negative weekday", {10, 0, 0, 1, 0, 2026, -1}, "00:00:10  Samstag, 01.01.2026"},
      {"negative fields",
       {-15, -1, -1, -1, -2, -1, 3},
       "4294967295:4294967295:4294967281  Mittwoch, -1.-1.-1"},
      {"negative minute told", {-1, -1, -1, 1, 0, 2026, 0}, "Eins vor Zw\xF6lf "},
      {"hour past the day", {0, 30, 25, 1, 0, 2026, 0}, "Genau halb Zwei "},
      {"largest fields",
       {INT_MIN + 15, INT_MIN, INT_MIN, INT_MIN, INT_MAX, INT_MIN, 4},
       "2147483648:2147483648:2147483663  Donnerstag, -2147483648.-2147483648.-2147483648"},
      {"largest told",
       {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX},
       "Sieben nach Sieben "},
      {"smallest told", {0, 0, INT_MIN, 1, 0, 2026, 0}, "Genau Vier "},
  };
  for (const Row& row : rows) {
    ResetBanner();
    EXPECT_EQ(TextAt(row.time), row.text) << row.what;
  }
}

TEST_F(ClockTextTest, FailedTimeReadKeepsThePreviousTime) {
  EXPECT_EQ(TextAt(At(14, 0, 0)), "Genau Zwei ");
  gFakeFails = true;
  EXPECT_EQ(TextAt(At(9, 5, 31)), "Genau Zwei ");
  EXPECT_EQ(CurrentHour(), 14);
}

TEST_F(ClockTextTest, BannerStartsOnlyAtMinute12Second45) {
  struct Row {
    int hour, minute, second;
    bool starts;
  };
  const Row rows[] = {
      {7, 12, 45, true},  {0, 12, 45, true},   {23, 12, 45, true}, {12, 12, 45, true},
      {7, 12, 44, false}, {7, 12, 46, false},  {7, 11, 45, false}, {7, 13, 45, false},
      {7, 45, 12, false}, {12, 45, 45, false},
  };
  for (const Row& row : rows) {
    ResetBanner();
    TextAt(At(row.hour, row.minute, row.second));
    EXPECT_EQ(gBannerMode, row.starts ? 1 : 0) << Clock(row.hour, row.minute) << ":" << row.second;
    EXPECT_EQ(gBannerPosition, 0) << Clock(row.hour, row.minute) << ":" << row.second;
  }
}

TEST_F(ClockTextTest, CallThatStartsTheBannerIsNormal) {
  EXPECT_EQ(TextAt(At(7, 12, 45)), "Drei vor viertel Acht ");
  EXPECT_EQ(gBannerMode, 1);
  ResetBanner();
  EXPECT_EQ(TextAt(At(12, 12, 45)), "Drei vor viertel Eins Mahlzeit!");
  EXPECT_EQ(gBannerMode, 1);
}

TEST_F(ClockTextTest, BannerRunsThirtyEightCallsThenTheTimeAgain) {
  const std::string banner = "Schwabenzeit, so verstehts hier jeder";
  TextAt(At(11, 52, 0));  // the longest phrase is in the buffer before the banner
  TextAt(At(7, 12, 45));
  ASSERT_EQ(gBannerMode, 1);
  gFakeReads = 0;
  std::vector<std::string> windows;
  for (int call = 1; call <= 38; ++call) {
    // The time of day has no say while the banner runs.
    const std::string window = TextAt(At(call % 24, (call * 7) % 60, call % 60));
    const std::size_t position = static_cast<std::size_t>(call - 1);
    const std::string expected = position < banner.size() ? banner.substr(position, 30) : "";
    EXPECT_EQ(window, expected) << "banner call " << call;
    windows.push_back(window);
    EXPECT_LE(window.size(), 30u) << "banner call " << call;
  }
  EXPECT_EQ(gFakeReads, 38) << "the time is read on every call";
  ASSERT_EQ(windows.size(), 38u);
  EXPECT_EQ(windows[0], "Schwabenzeit, so verstehts hie");
  EXPECT_EQ(windows[7], "nzeit, so verstehts hier jeder");
  EXPECT_EQ(windows[8], "zeit, so verstehts hier jeder");
  EXPECT_EQ(windows[36], "r");
  EXPECT_EQ(windows[37], "");
  EXPECT_EQ(gBannerMode, 0);
  EXPECT_EQ(gBannerPosition, 37);
  EXPECT_EQ(TextAt(At(7, 16, 31)), "07:16:31  Sonntag, 06.12.2026");
  EXPECT_EQ(gBannerPosition, 0);
  EXPECT_EQ(gBannerMode, 0);
}

TEST(RuntimeLocalTimeTest, MatchesTheRuntimesLocalTimeWithFullYear) {
  ClockTime read;
  std::tm expected{};
  bool steady = false;
  for (int attempt = 0; attempt < 5 && !steady; ++attempt) {
    const std::time_t before = std::time(nullptr);
    ASSERT_TRUE(RuntimeLocalTime(read));
    steady = std::time(nullptr) == before;  // no second boundary crossed in between
    expected = *std::localtime(&before);
  }
  ASSERT_TRUE(steady);
  EXPECT_EQ(read.second, expected.tm_sec);
  EXPECT_EQ(read.minute, expected.tm_min);
  EXPECT_EQ(read.hour, expected.tm_hour);
  EXPECT_EQ(read.day, expected.tm_mday);
  EXPECT_EQ(read.month, expected.tm_mon);
  EXPECT_EQ(read.year, expected.tm_year + 1900);
  EXPECT_EQ(read.weekday, expected.tm_wday);
}

}  // namespace
}  // namespace pinnafex
