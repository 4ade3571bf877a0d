// Arbitrary time records and widths: no clock text or ticker window outgrows its buffer or field.
#include <cstdint>
#include <cstring>

#include "clock/clock_text.h"
#include "clock/clock_time.h"
#include "clock/ticker.h"

using namespace pinnafex;

static ClockTime gTime;

// A zero year fails the read. The library is not instrumented for the fuzzer, so the low bits
// of the day lead it to the banner.
static bool FuzzLocalTime(ClockTime& out) {
  out = gTime;
  if (out.day & 1) out.minute = kBannerMinute;
  if (out.day & 2) out.second = kBannerSecond;
  return out.year != 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetLocalTimeSource(FuzzLocalTime);
  ResetBanner();
  ResetTicker();
  // Each step: a width, a number of ticks, and the time record read in them.
  for (constexpr std::size_t kStep = 2 + sizeof gTime; size >= kStep;
       data += kStep, size -= kStep) {
    std::memcpy(&gTime, data + 2, sizeof gTime);
    for (int tick = 0; tick < data[1]; ++tick) {
      const char* window = TickerText(data[0]);
      if (window && std::strlen(window) > data[0]) __builtin_trap();
    }
    if (std::strlen(MakeClockText()) >= kClockTextSize) __builtin_trap();
    if (std::strlen(gTickerBuffer) >= kTickerBufferSize) __builtin_trap();
  }
  return 0;
}
