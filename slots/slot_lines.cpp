#include "slots/slot_lines.h"

namespace pinnafex {

namespace {

constexpr unsigned char kCarriageReturn = 13;

constexpr bool IsSkippedAtHead(unsigned char c) {
  return c >= 1 && c <= 32;
}
// Bytes of 128 and above are letters of the code page (ü, ß, é): listed like ASCII.
constexpr bool IsListed(unsigned char c) {
  return c >= 15;
}

// Past the bytes of a line that can no longer change what is listed: up to its carriage
// return or the end of the text.
std::size_t SkipToLineEnd(const unsigned char* bytes, std::size_t p, std::size_t size) {
  while (p < size && bytes[p] != 0 && bytes[p] != kCarriageReturn) ++p;
  return p;
}

}  // namespace

std::size_t SplitSlotLines(const char* text, std::size_t size, std::size_t maxLines, LineSink sink,
                           void* context) {
  if (!text || !sink || maxLines == 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  std::size_t p = 0;
  while (p < size && IsSkippedAtHead(bytes[p])) ++p;

  char line[kLineBufferSize];
  std::size_t n = 0;
  std::size_t emitted = 0;
  while (p < size && bytes[p] != 0) {
    const unsigned char c = bytes[p++];
    if (IsListed(c)) {
      // Once full, further characters would only overwrite the last slot before the
      // terminator lands there: the line is cut to its first kMaxLineChars.
      line[n] = static_cast<char>(c);
      if (n < kMaxLineChars) ++n;
      if (n == kMaxLineChars) {
        if (emitted + 1 == maxLines) {
          line[n] = 0;
          sink(context, line);
          return maxLines;
        }
        p = SkipToLineEnd(bytes, p, size);
      }
    }
    if (c == kCarriageReturn || p == size || bytes[p] == 0) {
      line[n] = 0;
      sink(context, line);
      n = 0;
      if (++emitted == maxLines) break;
    }
  }
  return emitted;
}

}  // namespace pinnafex
