#include "slots/slot_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pinnafex {

namespace {

constexpr unsigned char kCarriageReturn = 13;
constexpr unsigned char kFirstListed = 15;

constexpr bool IsSkippedAtHead(unsigned char c) {
  return c >= 1 && c <= 32;
}
// Bytes of 128 and above are letters of the code page (ü, ß, é): listed like ASCII.
constexpr bool IsListed(unsigned char c) {
  return c >= kFirstListed;
}

// How many bytes from `bytes` on are listed, looking at no more than `limit`: sixteen at a time
// where the processor has SSE2, else eight at a time in a plain word, whose borrow trick
// leaves a high bit set exactly when one of its bytes is below 15.
std::size_t ListedRun(const unsigned char* bytes, std::size_t limit) {
  std::size_t n = 0;
#if defined(__SSE2__)
  const __m128i lastUnlisted = _mm_set1_epi8(kFirstListed - 1);
  for (; n + 16 <= limit; n += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + n));
    const __m128i unlisted = _mm_cmpeq_epi8(_mm_min_epu8(chunk, lastUnlisted), chunk);
    const int mask = _mm_movemask_epi8(unlisted);
    if (mask) return n + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  for (; n + 8 <= limit; n += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + n, sizeof word);
    if ((word - kOnes * kFirstListed) & ~word & kHighs) break;
  }
  while (n < limit && IsListed(bytes[n])) ++n;
  return n;
}

// Past the bytes of a line that can no longer change what is listed: up to its carriage
// return or the end of the text.
std::size_t SkipToLineEnd(const unsigned char* bytes, std::size_t p, std::size_t size) {
  const void* cr = std::memchr(bytes + p, kCarriageReturn, size - p);
  const std::size_t lineEnd =
      cr ? static_cast<std::size_t>(static_cast<const unsigned char*>(cr) - bytes) : size;
  const void* zero = std::memchr(bytes + p, 0, lineEnd - p);
  return zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - bytes) : lineEnd;
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
    bool lineEnds;
    const std::size_t run = ListedRun(bytes + p, std::min(size - p, kMaxLineChars - n));
    if (run > 0) {
      std::memcpy(line + n, bytes + p, run);
      n += run;
      p += run;
      if (n == kMaxLineChars) {
        // The rest of the line is cut: nothing after it up to its carriage return is listed.
        if (emitted + 1 == maxLines) {
          line[n] = 0;
          sink(context, line);
          return maxLines;
        }
        p = SkipToLineEnd(bytes, p, size);
      }
      lineEnds = p == size || bytes[p] == 0;
    } else {
      const unsigned char c = bytes[p++];  // 1..14: dropped, a carriage return ends the line
      lineEnds = c == kCarriageReturn || p == size || bytes[p] == 0;
    }
    if (lineEnds) {
      line[n] = 0;
      sink(context, line);
      n = 0;
      if (++emitted == maxLines) break;
    }
  }
  return emitted;
}

}  // namespace pinnafex
