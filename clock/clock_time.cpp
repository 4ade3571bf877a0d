#include "clock/clock_time.h"

#include <climits>
#include <ctime>

namespace pinnafex {

ClockTime gClockTime;

namespace {
LocalTimeSource gLocalTimeSource = RuntimeLocalTime;
}  // namespace

bool RuntimeLocalTime(ClockTime& out) {
  const std::time_t now = std::time(nullptr);
  if (now == static_cast<std::time_t>(-1)) return false;
  // The main thread is the only caller, so the runtime's shared record is safe to read here.
  const std::tm* local = std::localtime(&now);
  if (!local) return false;  // out of the runtime's range (e.g. before 1970 on Windows)
  out.second = local->tm_sec;
  out.minute = local->tm_min;
  out.hour = local->tm_hour;
  out.day = local->tm_mday;
  out.month = local->tm_mon;
  // tm_year counts from 1900; saturate rather than overflow for years near INT_MAX.
  out.year = local->tm_year > INT_MAX - 1900 ? INT_MAX : local->tm_year + 1900;
  out.weekday = local->tm_wday;
  return true;
}

LocalTimeSource SetLocalTimeSource(LocalTimeSource source) {
  const LocalTimeSource previous = gLocalTimeSource;
  gLocalTimeSource = source ? source : RuntimeLocalTime;
  return previous;
}

void ReadLocalTime() {
  ClockTime fresh = gClockTime;
  if (gLocalTimeSource(fresh)) gClockTime = fresh;
}

int CurrentHour() {
  return gClockTime.hour;
}
int CurrentMinute() {
  return gClockTime.minute;
}
int CurrentSecond() {
  return gClockTime.second;
}

}  // namespace pinnafex
