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

}  // namespace bench
}  // namespace pinnafex
