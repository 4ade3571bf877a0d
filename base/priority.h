// Short timing-sensitive work runs at a raised priority of the process and the calling thread.
#pragma once

namespace pinnafex {

// Applies the process class and the calling thread's priority of a level (base/priority_table.h).
void SetPriorityLevel(int level);

}  // namespace pinnafex
