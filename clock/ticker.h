// The text that scrolls through the clock field, one character per call.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pinnafex {

// The window for this tick, or null on the tick that fetches the next clock text.
const char* TickerText(unsigned char width);

constexpr std::size_t kTickerBufferSize = 255;

// The pass being scrolled: leading blanks, then the clock text. When width blanks and the
// text would not fit, the blanks are cut so that the whole text still does.
extern char gTickerBuffer[kTickerBufferSize];
// The window handed out by the latest call.
extern char gTickerWindow[kTickerBufferSize];
// Index in gTickerBuffer of the next window's first character.
extern std::int32_t gTickerPosition;

// Back to the state at start: the next call fetches a new clock text.
void ResetTicker();

// Scrolls `text` through the field from the next call on, starting fully at its left edge so
// it is read at once, for at most `maxTicks` calls (0: until it has scrolled out); then the
// clock goes on. A longer text is cut to the buffer.
void ShowTickerNotice(const char* text, unsigned maxTicks);

}  // namespace pinnafex
