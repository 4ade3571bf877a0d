// The Windows-side benches, run under Wine by tools/bench.sh:
//   pinnafex_win_bench split                 the line splitter against memchr, on this build
//   pinnafex_win_bench slots                 Push, Pop and refresh against their baselines
//   pinnafex_win_bench transfers             Unicode Push and Pop against their floor; memory
//   pinnafex_win_bench tick                  one tick of the bar and its parts
//   pinnafex_win_bench startup EXE [RUNS]    the program's start-up to its splash and bar
//   pinnafex_win_bench idle-floor SECONDS    a bare window with the bar's timer and clock field
//   pinnafex_win_bench keep                  a kept slot's save and the Push beside it
//   pinnafex_win_bench borrow                a paste key's clipboard kept and given back
//   pinnafex_win_bench keep-startup EXE [RUNS]  start-up with twenty kept slots against none
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/win/win_benches.h"
#include "slots/slot_view.h"

int main(int argc, char** argv) {
  const char* what = argc > 1 ? argv[1] : "";
  pinnafex::ChooseTextScans();  // as the bar does at start-up
  if (std::strcmp(what, "split") == 0) {
    pinnafex::bench::RunSplitBench();
    return 0;
  }
  if (std::strcmp(what, "slots") == 0) {
    pinnafex::bench::RunSlotBench();
    return 0;
  }
  if (std::strcmp(what, "transfers") == 0) {
    pinnafex::bench::RunTransferBench();
    return 0;
  }
  if (std::strcmp(what, "tick") == 0) {
    pinnafex::bench::RunTickBench();
    return 0;
  }
  if (std::strcmp(what, "startup") == 0 && argc > 2) {
    const int runs = argc > 3 ? std::atoi(argv[3]) : 0;
    pinnafex::bench::RunStartupBench(argv[2], runs > 0 ? runs : 5);
    return 0;
  }
  if (std::strcmp(what, "borrow") == 0) {
    pinnafex::bench::RunBorrowBench();
    return 0;
  }
  if (std::strcmp(what, "keep") == 0) {
    pinnafex::bench::RunKeepBench();
    return 0;
  }
  if (std::strcmp(what, "keep-startup") == 0 && argc > 2) {
    const int runs = argc > 3 ? std::atoi(argv[3]) : 0;
    pinnafex::bench::RunKeptStartupBench(argv[2], runs > 0 ? runs : 5);
    return 0;
  }
  if (std::strcmp(what, "idle-floor") == 0 && argc > 2) {
    pinnafex::bench::RunIdleFloor(std::atoi(argv[2]));
    return 0;
  }
  std::fprintf(stderr,
               "usage: pinnafex_win_bench split | slots | transfers | tick | startup EXE [RUNS] | "
               "idle-floor SECONDS | keep | keep-startup EXE [RUNS]\n");
  return 2;
}
