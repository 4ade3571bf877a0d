// Words and bands of the clock texts, Windows-1252 bytes ("\xFC" is u-umlaut, "\xF6" o-umlaut).
#pragma once

namespace pinnafex {

constexpr int kWordRowSize = 15;  // each word is a NUL-padded row of this many bytes

inline constexpr char kWeekdayNames[7][kWordRowSize] = {
    "Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};

// Row r tells r - 7 minutes from the band's reference point.
inline constexpr char kMinutePhrases[15][kWordRowSize] = {
    "Sieben vor", "Sechs vor", "F\xFCnf vor",  "Vier vor",   "Drei vor",
    "Zwei vor",   "Eins vor",  "Genau",        "Eins nach",  "Zwei nach",
    "Drei nach",  "Vier nach", "F\xFCnf nach", "Sechs nach", "Sieben nach"};
constexpr int kExactPhraseRow = 7;

inline constexpr char kQuarterWords[4][kWordRowSize] = {"", "viertel ", "halb ", "dreiviertel "};

// Row k names hour k + 1 of the 12-hour cycle; the second dozen repeats the first.
inline constexpr char kHourNames[24][kWordRowSize] = {
    "Eins",    "Zwei",  "Drei",   "Vier",     "F\xFCnf", "Sechs", "Sieben", "Acht",
    "Neun",    "Zehn",  "Elf",    "Zw\xF6lf", "Eins",    "Zwei",  "Drei",   "Vier",
    "F\xFCnf", "Sechs", "Sieben", "Acht",     "Neun",    "Zehn",  "Elf",    "Zw\xF6lf"};

inline constexpr char kGreeting[] = "Mahlzeit!";
constexpr int kGreetingFirstHour = 11;
constexpr int kGreetingLastHour = 13;

// Each band tells its minutes relative to a reference minute (60 is the next full hour).
struct MinuteBand {
  int firstMinute;
  int lastMinute;
  int quarterRow;       // row of kQuarterWords
  int referenceMinute;  // the minute that reads "Genau"
  int hourStep;         // 0 names the current hour, 1 the next
};

inline constexpr MinuteBand kMinuteBands[] = {
    {0, 7, 0, 0, 0},     // around the full hour
    {8, 22, 1, 15, 1},   // viertel
    {23, 37, 2, 30, 1},  // halb
    {38, 52, 3, 45, 1},  // dreiviertel
    {53, 59, 0, 60, 1},  // before the next full hour
};

}  // namespace pinnafex
