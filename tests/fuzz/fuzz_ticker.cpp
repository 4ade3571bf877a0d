// Drives the clock texts and the ticker with arbitrary time records and widths.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "clock/clock_text.h"
#include "clock/clock_time.h"
#include "clock/ticker.h"

namespace {

const std::uint8_t* gData = nullptr;
std::size_t gSize = 0;

int TakeInt() {
  std::uint32_t value = 0;
  const std::size_t n = gSize < sizeof value ? gSize : sizeof value;
  std::memcpy(&value, gData, n);
  gData += n;
  gSize -= n;
  return static_cast<int>(value);
}

unsigned char TakeByte() {
  if (gSize == 0) return 25;
  --gSize;
  return *gData++;
}

// Each read takes a fresh record from the input; an exhausted input keeps the last one.
bool FuzzLocalTime(pinnafex::ClockTime& out) {
  if (gSize == 0) return TakeByte() % 2 == 0;
  const int selector = TakeByte();
  pinnafex::ClockTime t;
  t.second = TakeInt();
  t.minute = TakeInt();
  t.hour = TakeInt();
  t.day = TakeInt();
  t.month = TakeInt();
  t.year = TakeInt();
  t.weekday = TakeInt();
  if (selector & 1) t.minute = pinnafex::kBannerMinute;  // reach the banner often
  if (selector & 2) t.second = pinnafex::kBannerSecond;
  out = t;
  return (selector & 4) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gData = data;
  gSize = size;
  pinnafex::SetLocalTimeSource(FuzzLocalTime);
  pinnafex::ResetBanner();
  pinnafex::ResetTicker();

  for (int round = 0; round < 64 && gSize > 0; ++round) {
    const unsigned char width = TakeByte();
    const int ticks = TakeByte();
    for (int tick = 0; tick < ticks; ++tick) {
      const char* window = pinnafex::TickerText(width);
      if (window && std::strlen(window) > width) __builtin_trap();
    }
    const char* text = pinnafex::MakeClockText();
    if (std::strlen(text) >= pinnafex::kClockTextSize) __builtin_trap();
    if (std::strlen(pinnafex::gTickerBuffer) >= pinnafex::kTickerBufferSize) __builtin_trap();
  }
  pinnafex::SetLocalTimeSource(nullptr);
  return 0;
}
