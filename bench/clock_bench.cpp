// Cost of the clock texts and the ticker per call, against a plain 40-byte copy measured in
// the same run.
#include <cstring>

#include <benchmark/benchmark.h>

#include "clock/clock_text.h"
#include "clock/clock_time.h"
#include "clock/ticker.h"

namespace {

// Sunday, 6 December 2026, 11:52:00: the longest phrase, so the most formatting work.
bool FixedLocalTime(pinnafex::ClockTime& out) {
  out = {0, 52, 11, 6, 11, 2026, 0};
  return true;
}

void BM_Copy40Bytes(benchmark::State& state) {
  char source[40] = "Sieben nach dreiviertel Zw\xF6lf Mahlzeit!";
  char target[40];
  for (auto _ : state) {
    benchmark::DoNotOptimize(source);
    std::memcpy(target, source, sizeof target);
    benchmark::DoNotOptimize(target);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Copy40Bytes);

// With the runtime's clock: time(), localtime() and the formatting.
void BM_MakeClockText(benchmark::State& state) {
  pinnafex::SetLocalTimeSource(nullptr);
  pinnafex::ResetBanner();
  for (auto _ : state) benchmark::DoNotOptimize(pinnafex::MakeClockText());
}
BENCHMARK(BM_MakeClockText);

// The formatting alone, from a fixed time record.
void BM_MakeClockTextFixedTime(benchmark::State& state) {
  pinnafex::SetLocalTimeSource(FixedLocalTime);
  pinnafex::ResetBanner();
  for (auto _ : state) benchmark::DoNotOptimize(pinnafex::MakeClockText());
  pinnafex::SetLocalTimeSource(nullptr);
}
BENCHMARK(BM_MakeClockTextFixedTime);

// One tick at the bar's width, averaged over whole passes, so each pass's refill with the
// runtime's clock is included.
void BM_TickerText25(benchmark::State& state) {
  pinnafex::SetLocalTimeSource(nullptr);
  pinnafex::ResetBanner();
  pinnafex::ResetTicker();
  for (auto _ : state) benchmark::DoNotOptimize(pinnafex::TickerText(25));
}
BENCHMARK(BM_TickerText25);

// A window call alone: the refill is kept out of the timed calls.
void BM_TickerWindowOnly25(benchmark::State& state) {
  pinnafex::SetLocalTimeSource(FixedLocalTime);
  pinnafex::ResetBanner();
  pinnafex::ResetTicker();
  for (auto _ : state) {
    if (pinnafex::gTickerBuffer[pinnafex::gTickerPosition] == '\0') {
      state.PauseTiming();
      pinnafex::TickerText(25);  // the refill call
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(pinnafex::TickerText(25));
  }
  pinnafex::SetLocalTimeSource(nullptr);
}
BENCHMARK(BM_TickerWindowOnly25);

}  // namespace
