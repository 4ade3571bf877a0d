#include "clock/ticker.h"

#include <cstring>

#include "clock/clock_text.h"

namespace pinnafex {

char gTickerBuffer[kTickerBufferSize];
char gTickerWindow[kTickerBufferSize];
std::int32_t gTickerPosition = 0;

namespace {

constexpr std::size_t kMaxTickerChars = kTickerBufferSize - 1;  // room for the terminator

// Calls left for a notice with a time limit; 0 while none is shown or it has none.
unsigned gNoticeTicksLeft = 0;

void Refill(std::size_t width) {
  const char* text = MakeClockText();
  std::size_t textLength = std::strlen(text);
  if (textLength > kMaxTickerChars) textLength = kMaxTickerChars;
  std::size_t blanks = width;
  if (blanks > kMaxTickerChars - textLength) blanks = kMaxTickerChars - textLength;
  std::memset(gTickerBuffer, ' ', blanks);
  std::memcpy(gTickerBuffer + blanks, text, textLength);
  gTickerBuffer[blanks + textLength] = '\0';
  gTickerPosition = 0;
}

}  // namespace

const char* TickerText(unsigned char width) {
  // Stays inside the buffer: the position only advances while it is short of the terminator.
  const char* rest = gTickerBuffer + gTickerPosition;
  if (*rest == '\0') {
    Refill(width);
    return nullptr;
  }
  std::size_t length = std::strlen(rest);
  if (length > width) length = width;
  std::memcpy(gTickerWindow, rest, length);
  gTickerWindow[length] = '\0';
  ++gTickerPosition;
  // A notice whose time is up ends here: the next call fetches the clock text.
  if (gNoticeTicksLeft > 0 && --gNoticeTicksLeft == 0) ResetTicker();
  return gTickerWindow;
}

void ResetTicker() {
  gTickerBuffer[0] = '\0';
  gTickerPosition = 0;
  gNoticeTicksLeft = 0;
}

void ShowTickerNotice(const char* text, unsigned maxTicks) {
  if (!text) return;
  std::size_t length = std::strlen(text);
  if (length > kMaxTickerChars) length = kMaxTickerChars;
  std::memcpy(gTickerBuffer, text, length);
  gTickerBuffer[length] = '\0';
  gTickerPosition = 0;
  gNoticeTicksLeft = maxTicks;
}

}  // namespace pinnafex
