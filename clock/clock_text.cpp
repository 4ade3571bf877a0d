#include "clock/clock_text.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "clock/clock_time.h"
#include "clock/clock_words.h"

namespace pinnafex {

std::uint8_t gBannerMode = 0;
std::int8_t gBannerPosition = 0;

namespace {

char gDateTextBuffer[kDateTextSize];
char gClockTextBuffer[kClockTextSize];

constexpr int kBannerLength = static_cast<int>(std::char_traits<char>::length(kBannerText));
static_assert(kBannerLength == 37, "banner length");
static_assert(kBannerLength <= INT8_MAX, "gBannerPosition must reach the banner's end");

// Index into a table of `count` rows; fields out of their calendar range wrap around
// instead of reading outside the table.
int WrapIndex(int value, int count) {
  const int r = value % count;
  return r < 0 ? r + count : r;
}

const MinuteBand& BandOf(int minute) {
  for (const MinuteBand& band : kMinuteBands) {
    if (minute >= band.firstMinute && minute <= band.lastMinute) return band;
  }
  return kMinuteBands[0];  // unreachable for a wrapped minute
}

const char* MakeBannerWindow() {
  const int position = gBannerPosition < 0 ? 0 : gBannerPosition;
  int length = kBannerLength - position;
  if (length < 0) length = 0;
  if (length > kBannerWindowLength) length = kBannerWindowLength;
  std::memcpy(gClockTextBuffer, kBannerText + position, static_cast<std::size_t>(length));
  gClockTextBuffer[length] = '\0';
  if (position < kBannerLength) ++gBannerPosition;
  if (length == 0) gBannerMode = 0;
  return gClockTextBuffer;
}

const char* MakeDigitalText() {
  const char* date = FormatDateText();
  std::snprintf(gClockTextBuffer, sizeof gClockTextBuffer, "%02u:%02u:%02u  %s",
                static_cast<unsigned>(CurrentHour()), static_cast<unsigned>(CurrentMinute()),
                static_cast<unsigned>(CurrentSecond()), date);
  return gClockTextBuffer;
}

const char* MakeDialectPhrase() {
  const int hour = CurrentHour();
  const int minute = WrapIndex(CurrentMinute(), 60);
  const MinuteBand& band = BandOf(minute);
  const int phraseRow = minute - band.referenceMinute + kExactPhraseRow;
  // Up to minute 7 the current hour names itself; row k is hour k + 1, so midnight is row 23.
  const int hourRow = WrapIndex(WrapIndex(hour, 24) - 1 + band.hourStep, 24);
  const bool lunchtime = hour >= kGreetingFirstHour && hour <= kGreetingLastHour;
  std::snprintf(gClockTextBuffer, sizeof gClockTextBuffer, "%s %s%s %s", kMinutePhrases[phraseRow],
                kQuarterWords[band.quarterRow], kHourNames[hourRow], lunchtime ? kGreeting : "");
  return gClockTextBuffer;
}

}  // namespace

const char* FormatDateText() {
  const ClockTime& t = gClockTime;
  // Unsigned arithmetic so that month + 1 wraps instead of overflowing for any field value.
  const int monthNumber = static_cast<int>(static_cast<unsigned>(t.month) + 1u);
  std::snprintf(gDateTextBuffer, sizeof gDateTextBuffer, "%s, %02d.%02d.%02d",
                kWeekdayNames[WrapIndex(t.weekday, 7)], t.day, monthNumber, t.year);
  return gDateTextBuffer;
}

const char* MakeClockText() {
  ReadLocalTime();
  if (gBannerMode == 1) return MakeBannerWindow();

  if (CurrentMinute() == kBannerMinute && CurrentSecond() == kBannerSecond) gBannerMode = 1;
  gBannerPosition = 0;

  const bool tensDigitOdd = (CurrentSecond() / 10) % 2 != 0;
  return tensDigitOdd ? MakeDigitalText() : MakeDialectPhrase();
}

void ResetBanner() {
  gBannerMode = 0;
  gBannerPosition = 0;
}

}  // namespace pinnafex
