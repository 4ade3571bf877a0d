// The local time the clock texts are made from, read through one replaceable source.
#pragma once

namespace pinnafex {

// Broken-down local time with the full year (2026, not 126). Month 0 is January,
// weekday 0 is Sunday; second may be 60 in a leap second.
struct ClockTime {
  int second = 0;
  int minute = 0;
  int hour = 0;
  int day = 1;
  int month = 0;
  int year = 1970;
  int weekday = 4;
};

// Fills the record with the current local time; false when the time cannot be had.
using LocalTimeSource = bool (*)(ClockTime& out);

// The runtime's time() and localtime(), with 1900 added to the year.
bool RuntimeLocalTime(ClockTime& out);

// Installs the source ReadLocalTime asks (null: the runtime's) and returns the previous one.
LocalTimeSource SetLocalTimeSource(LocalTimeSource source);

// The record of the latest ReadLocalTime.
extern ClockTime gClockTime;

// Asks the source for the time; a failed read keeps the previous record.
void ReadLocalTime();

int CurrentHour();
int CurrentMinute();
int CurrentSecond();

}  // namespace pinnafex
