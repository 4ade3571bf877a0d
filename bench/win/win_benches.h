// The parts of the Windows-side bench exe.
#pragma once
#include <string>

namespace pinnafex {
namespace bench {

void RunSlotBench();
void RunSplitBench();
void RunTransferBench();
void RunStartupBench(const std::string& exe, int runs);
void RunTickBench();
void RunIdleFloor(int seconds);
void RunKeepBench();
void RunBorrowBench();
void RunKeptStartupBench(const std::string& exe, int runs);
// The median time from starting the program to its visible bar, over `runs` starts.
double MedianBarMs(const std::string& exe, int runs);

}  // namespace bench
}  // namespace pinnafex
