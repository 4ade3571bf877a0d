// Throughput of the slot view's line splitter against memchr walking the same buffer from one
// carriage return to the next. Both see the whole text: the splitter is given no line bound.
#include <cstddef>
#include <cstring>
#include <limits>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/bench_text.h"
#include "slots/slot_lines.h"

namespace {

constexpr std::size_t kTextBytes = 1 << 20;
constexpr std::size_t kNoLineBound = std::numeric_limits<std::size_t>::max();

void CountLine(void* context, const char* line) {
  benchmark::DoNotOptimize(line);
  ++*static_cast<std::size_t*>(context);
}

void BM_SplitSlotLines(benchmark::State& state) {
  const std::string text =
      pinnafex::bench::MakeText(kTextBytes, static_cast<std::size_t>(state.range(0)));
  std::size_t lines = 0;
  for (auto _ : state) {
    lines = 0;
    pinnafex::SplitSlotLines(text.data(), text.size(), kNoLineBound, CountLine, &lines);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["lines"] = static_cast<double>(lines);
}

// The baseline: memchr from each carriage return to the next, the least any splitter must do.
void BM_MemchrLines(benchmark::State& state) {
  const std::string text =
      pinnafex::bench::MakeText(kTextBytes, static_cast<std::size_t>(state.range(0)));
  std::size_t lines = 0;
  for (auto _ : state) {
    lines = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
      const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
      p = cr ? static_cast<const char*>(cr) + 1 : end;
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["lines"] = static_cast<double>(lines);
}

// Line lengths: typed text (40), a listing cut at 250 (200), long lines past the cut (4096).
BENCHMARK(BM_SplitSlotLines)->Arg(40)->Arg(200)->Arg(4096);
BENCHMARK(BM_MemchrLines)->Arg(40)->Arg(200)->Arg(4096);

}  // namespace
