// The text that scrolls through the clock field, one character per call.
#pragma once

namespace pinnafex {

// The window for this tick, or null on the tick that fetches the next clock text.
const char* TickerText(unsigned char width);

}  // namespace pinnafex
