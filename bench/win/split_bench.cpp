// The slot view's line splitter on the build that runs it, with the scans the bar itself
// chooses at start-up, against memchr of the same C library walking the same text from one
// carriage return to the next; the plain loops beside, as a processor without SSE2 runs them.
#include <windows.h>

#include <cstring>
#include <string>

#include "bench/bench_text.h"
#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "slots/slot_lines.h"
#include "slots/slot_view.h"

namespace pinnafex {
namespace bench {
namespace {

constexpr size_t kTextBytes = 1 << 20;
constexpr size_t kNoLineBound = static_cast<size_t>(-1);
constexpr int kRuns = 15;
constexpr int kReps = 10;

template <typename Unit>
void CountLine(void* context, const Unit*) {
  ++*static_cast<size_t*>(context);
}

template <typename Unit>
double SplitMs(const std::basic_string<Unit>& text) {
  return BestMs(
      kRuns,
      [&] {
        volatile size_t lines = 0;
        size_t count = 0;
        SplitSlotLines<Unit>(text.data(), text.size(), kNoLineBound, CountLine<Unit>, &count);
        lines = count;
        (void)lines;
      },
      kReps);
}

double MemchrLinesMs(const std::string& text) {
  return BestMs(
      kRuns,
      [&] {
        volatile size_t lines = 0;
        size_t count = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while (p < end) {
          const void* cr = std::memchr(p, '\r', static_cast<size_t>(end - p));
          p = cr ? static_cast<const char*>(cr) + 1 : end;
          ++count;
        }
        lines = count;
        (void)lines;
      },
      kReps);
}

void Report(const std::string& name, double value) {
  bench::Report(name.c_str(), value);
}

}  // namespace

void RunSplitBench() {
  Report("split.sse2", IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) ? 1 : 0);
  for (const size_t length : {40, 200, 4096}) {
    const std::string text = MakeText(kTextBytes, length);
    const std::u16string wide(text.begin(), text.end());
    const std::string name = "split." + std::to_string(length) + ".";
    ChooseTextScans();
    Report(name + "chosen_ms", SplitMs(text));
    Report(name + "chosen16_ms", SplitMs(wide));
    UseSse2TextScans(false);
    Report(name + "plain_ms", SplitMs(text));
    ChooseTextScans();
    Report(name + "memchr_ms", MemchrLinesMs(text));
  }
}

}  // namespace bench
}  // namespace pinnafex
