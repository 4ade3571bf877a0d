// Arbitrary time records and widths: no clock text or ticker window outgrows its buffer or field.
#include <cstdint>
#include <cstring>

#include "clock/clock_text.h"
#include "clock/clock_time.h"
#include "clock/ticker.h"

using namespace pinnafex;

static const std::uint8_t* gData = nullptr;
static std::size_t gSize = 0;

// The next bytes of the input; zeros once it is used up.
static void Take(void* out, std::size_t size) {
  const std::size_t n = size < gSize ? size : gSize;
  std::memset(out, 0, size);
  std::memcpy(out, gData, n);
  gData += n;
  gSize -= n;
}

// Each read takes a fresh record from the input; a zero year (an exhausted input) fails. The
// library is not instrumented, so the low bits of the day lead to the banner.
static bool FuzzLocalTime(ClockTime& out) {
  Take(&out, sizeof out);
  if (out.day & 1) out.minute = kBannerMinute;
  if (out.day & 2) out.second = kBannerSecond;
  return out.year != 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gData = data;
  gSize = size;
  SetLocalTimeSource(FuzzLocalTime);
  ResetBanner();
  ResetTicker();
  for (std::uint8_t step[2]; gSize > 0;) {  // width, ticks
    Take(step, sizeof step);
    for (int tick = 0; tick < step[1]; ++tick) {
      const char* window = TickerText(step[0]);
      if (window && std::strlen(window) > step[0]) __builtin_trap();
    }
    if (std::strlen(MakeClockText()) >= kClockTextSize) __builtin_trap();
    if (std::strlen(TickerBuffer) >= kTickerBufferSize) __builtin_trap();
  }
  return 0;
}
