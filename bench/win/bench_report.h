// Timing and output helpers of the Windows-side benches. Each figure is printed as one line
// "name<TAB>value" for tools/bench.sh, which puts them into its table.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace pinnafex {
namespace bench {

inline double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// Best of `runs` timings of `op` in milliseconds, each the average of `reps` calls: the run
// least disturbed by the other work on the machine.
template <typename Op>
double BestMs(int runs, Op op, int reps = 1) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    for (int r = 0; r < reps; ++r) op();
    best = std::min(best, (NowMs() - start) / reps);
  }
  return best;
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

inline void Report(const char* name, double value) {
  std::printf("%s\t%.6f\n", name, value);
  std::fflush(stdout);
}

}  // namespace bench
}  // namespace pinnafex
