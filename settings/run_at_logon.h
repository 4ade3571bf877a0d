// Start with Windows: the user's own Run entry for this exe, never the machine's.
#pragma once

namespace pinnafex {

// True when the bar will start at logon: the Run value names this exe and Task Manager has
// not disabled it.
bool StartsAtLogon();
// Points the Run value at this exe and clears a disabled mark, or removes the value.
void SetStartAtLogon(bool on);

}  // namespace pinnafex
