// A local time that the clock tests set, and count the reads of.
#pragma once

#include "clock/clock_time.h"

namespace pinnafex {

inline ClockTime gFakeTime;
inline int gFakeReads = 0;
inline bool gFakeFails = false;

inline bool FakeLocalTime(ClockTime& out) {
  ++gFakeReads;
  if (gFakeFails) return false;
  out = gFakeTime;
  return true;
}

// Sunday, 6 December 2026 at the given time of day.
inline ClockTime At(int hour, int minute, int second) {
  ClockTime t;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.day = 6;
  t.month = 11;
  t.year = 2026;
  t.weekday = 0;
  return t;
}

}  // namespace pinnafex
