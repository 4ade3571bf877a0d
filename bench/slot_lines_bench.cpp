// Throughput of the slot view's line splitter against memchr walking the same buffer from one
// carriage return to the next. Both see the whole text: the splitter is given no line bound.
// Floods of dropped bytes are measured against one memchr over the same buffer.
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

template <typename Unit>
void CountLine(void* context, const Unit* line) {
  benchmark::DoNotOptimize(line);
  ++*static_cast<std::size_t*>(context);
}

void BM_SplitSlotLines(benchmark::State& state) {
  const std::string text =
      pinnafex::bench::MakeText(kTextBytes, static_cast<std::size_t>(state.range(0)));
  std::size_t lines = 0;
  for (auto _ : state) {
    lines = 0;
    pinnafex::SplitSlotLines<char>(text.data(), text.size(), kNoLineBound, CountLine<char>, &lines);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["lines"] = static_cast<double>(lines);
}

// The same text as UTF-16 units.
void BM_SplitSlotLines16(benchmark::State& state) {
  const std::string bytes =
      pinnafex::bench::MakeText(kTextBytes, static_cast<std::size_t>(state.range(0)));
  const std::u16string text(bytes.begin(), bytes.end());
  std::size_t lines = 0;
  for (auto _ : state) {
    lines = 0;
    pinnafex::SplitSlotLines<char16_t>(text.data(), text.size(), kNoLineBound, CountLine<char16_t>,
                                       &lines);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
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

// 100 MB of tabs: at the head (0), where the skip of leading blanks passes them, or inside a
// line (1), where they are dropped, with a line feed every 4 KB.
constexpr std::size_t kFloodBytes = 100 << 20;

std::string Flood(std::int64_t inLine) {
  std::string text(kFloodBytes, '\t');
  if (inLine) {
    text[0] = 'x';
    for (std::size_t i = 4096; i < text.size(); i += 4096) text[i] = '\n';
  }
  return text;
}

void BM_SplitTabFlood(benchmark::State& state) {
  const std::string text = Flood(state.range(0));
  for (auto _ : state) {
    std::size_t lines = 0;
    pinnafex::SplitSlotLines<char>(text.data(), text.size(), kNoLineBound, CountLine<char>, &lines);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_MemchrFlood(benchmark::State& state) {
  const std::string text = Flood(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::memchr(text.data(), '\r', text.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Line lengths: typed text (40), a listing cut at 250 (200), long lines past the cut (4096).
BENCHMARK(BM_SplitSlotLines)->Arg(40)->Arg(200)->Arg(4096);
BENCHMARK(BM_MemchrLines)->Arg(40)->Arg(200)->Arg(4096);
BENCHMARK(BM_SplitSlotLines16)->Arg(40)->Arg(200)->Arg(4096);
BENCHMARK(BM_SplitTabFlood)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemchrFlood)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
