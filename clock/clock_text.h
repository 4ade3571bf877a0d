// The clock texts the ticker scrolls: digital time with date, dialect phrase, banner windows.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pinnafex {

constexpr std::size_t kDateTextSize = 50;
// Room for the longest text any time record can give (three 10-digit fields and a
// 47-character date), well above the 39 characters of the longest real one.
constexpr std::size_t kClockTextSize = 100;

inline constexpr char kBannerText[100] = "Schwabenzeit, so verstehts hier jeder";
constexpr int kBannerWindowLength = 30;
constexpr int kBannerMinute = 12;
constexpr int kBannerSecond = 45;

// 1 while banner windows are handed out instead of the time.
extern std::uint8_t gBannerMode;
// Index in kBannerText of the next banner window.
extern std::int8_t gBannerPosition;

// The weekday and date of gClockTime, e.g. "Sonntag, 06.12.2026".
const char* FormatDateText();

// Reads the time and returns the next clock text; never null. Valid until the next call.
const char* MakeClockText();

// Back to the state at start: no banner running.
void ResetBanner();

}  // namespace pinnafex
