// The bodies of the text scans, included by exactly two files: slot_lines.cpp with
// PINNAFEX_SCAN_SSE2 0 (plain loops) and slot_lines_sse2.cpp with 1 (built for SSE2). All of it
// has internal linkage, so neither file's code can stand in for the other's.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "slots/slot_scan.h"
#if PINNAFEX_SCAN_SSE2
#include <emmintrin.h>
#endif

namespace pinnafex {

namespace {

constexpr unsigned kCarriageReturn = 13;
constexpr unsigned kLastDropped = 14;   // units 1..14 are dropped, 15 and above listed
constexpr unsigned kLastHeadSkip = 32;  // the blank and every control unit, at the head only

template <typename Unit>
constexpr unsigned Value(Unit u) {
  return static_cast<std::make_unsigned_t<Unit>>(u);
}

// Lane operations of SSE2 for 8-bit or 16-bit units, all unsigned: a lane is all ones where
// the test holds.
template <std::size_t Bytes>
struct Lanes;
#if PINNAFEX_SCAN_SSE2
template <>
struct Lanes<1> {
  static __m128i Eq(__m128i c, unsigned v) { return _mm_cmpeq_epi8(c, _mm_set1_epi8(char(v))); }
  static __m128i AtMost(__m128i c, unsigned v) {
    return _mm_cmpeq_epi8(_mm_subs_epu8(c, _mm_set1_epi8(char(v))), _mm_setzero_si128());
  }
  static __m128i AtLeast(__m128i c, unsigned v) {
    return _mm_cmpeq_epi8(_mm_subs_epu8(_mm_set1_epi8(char(v)), c), _mm_setzero_si128());
  }
  static __m128i LessOne(__m128i c) { return _mm_add_epi8(c, _mm_set1_epi8(-1)); }
};
template <>
struct Lanes<2> {
  static __m128i Eq(__m128i c, unsigned v) { return _mm_cmpeq_epi16(c, _mm_set1_epi16(short(v))); }
  static __m128i AtMost(__m128i c, unsigned v) {
    return _mm_cmpeq_epi16(_mm_subs_epu16(c, _mm_set1_epi16(short(v))), _mm_setzero_si128());
  }
  static __m128i AtLeast(__m128i c, unsigned v) {
    return _mm_cmpeq_epi16(_mm_subs_epu16(_mm_set1_epi16(short(v)), c), _mm_setzero_si128());
  }
  static __m128i LessOne(__m128i c) { return _mm_add_epi16(c, _mm_set1_epi16(-1)); }
};
#endif

// The kinds of run: which units continue one, as a test of one unit and, in the SSE2 build, of
// a whole chunk. The zero unit that ends the text continues none of them.
struct ListedRun {  // units 15 and above
  static bool Continues(unsigned u) { return u > kLastDropped; }
#if PINNAFEX_SCAN_SSE2
  template <typename L>
  static __m128i Chunk(__m128i c) {
    return L::AtLeast(c, kLastDropped + 1);
  }
#endif
};
struct DroppedRun {  // units 1..14 but the carriage return
  static bool Continues(unsigned u) { return u - 1 < kLastDropped && u != kCarriageReturn; }
#if PINNAFEX_SCAN_SSE2
  template <typename L>
  static __m128i Chunk(__m128i c) {
    return _mm_andnot_si128(L::Eq(c, kCarriageReturn), L::AtMost(L::LessOne(c), kLastDropped - 1));
  }
#endif
};
struct HeadRun {  // units 1..32, skipped at the head of the text
  static bool Continues(unsigned u) { return u - 1 < kLastHeadSkip; }
#if PINNAFEX_SCAN_SSE2
  template <typename L>
  static __m128i Chunk(__m128i c) {
    return L::AtMost(L::LessOne(c), kLastHeadSkip - 1);
  }
#endif
};
struct LineRun {  // all but the carriage return
  static bool Continues(unsigned u) { return u != 0 && u != kCarriageReturn; }
#if PINNAFEX_SCAN_SSE2
  template <typename L>
  static __m128i Chunk(__m128i c) {
    return _mm_xor_si128(_mm_or_si128(L::Eq(c, 0), L::Eq(c, kCarriageReturn)), _mm_set1_epi8(-1));
  }
#endif
};
struct TextRun {  // all but the zero unit
  static bool Continues(unsigned u) { return u != 0; }
#if PINNAFEX_SCAN_SSE2
  template <typename L>
  static __m128i Chunk(__m128i c) {
    return _mm_xor_si128(L::Eq(c, 0), _mm_set1_epi8(-1));
  }
#endif
};

#if PINNAFEX_SCAN_SSE2
constexpr unsigned kWholeChunk = 0xFFFF;

template <typename Run, typename Unit>
__m128i Continuing(const Unit* units) {
  const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
  return Run::template Chunk<Lanes<sizeof(Unit)>>(chunk);
}

// Bits of the bytes of the units that end the run.
inline unsigned Stops(__m128i continuing) {
  return ~static_cast<unsigned>(_mm_movemask_epi8(continuing)) & kWholeChunk;
}
#endif

// How many units from `units` on continue the run, looking at no more than `limit`: sixteen
// bytes at a time in the SSE2 build, and four such chunks at a time in long runs,
// so that a flood of one kind costs about what a memchr over it costs.
template <typename Run, typename Unit>
std::size_t RunLength(const Unit* units, std::size_t limit) {
  std::size_t n = 0;
#if PINNAFEX_SCAN_SSE2
  constexpr std::size_t kPerChunk = 16 / sizeof(Unit);
  for (; n + 4 * kPerChunk <= limit; n += 4 * kPerChunk) {
    __m128i chunks[4];
    for (std::size_t i = 0; i < 4; ++i) chunks[i] = Continuing<Run>(units + n + i * kPerChunk);
    const __m128i all =
        _mm_and_si128(_mm_and_si128(chunks[0], chunks[1]), _mm_and_si128(chunks[2], chunks[3]));
    if (!Stops(all)) continue;
    for (std::size_t i = 0; i < 4; ++i) {
      if (const unsigned stops = Stops(chunks[i])) {
        return n + i * kPerChunk + static_cast<std::size_t>(__builtin_ctz(stops)) / sizeof(Unit);
      }
    }
  }
  for (; n + kPerChunk <= limit; n += kPerChunk) {
    if (const unsigned stops = Stops(Continuing<Run>(units + n))) {
      return n + static_cast<std::size_t>(__builtin_ctz(stops)) / sizeof(Unit);
    }
  }
#endif
  while (n < limit && Run::Continues(Value(units[n]))) ++n;
  return n;
}

// The listed run from `units` on, at most `limit` units, copied to `out`. SSE2 stores each
// chunk as it tests it: that may write past the run, never past `limit` units.
template <typename Unit>
std::size_t CopyListedRun(const Unit* units, std::size_t limit, Unit* out) {
  std::size_t n = 0;
#if PINNAFEX_SCAN_SSE2
  constexpr std::size_t kPerChunk = 16 / sizeof(Unit);
  for (; n + kPerChunk <= limit; n += kPerChunk) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + n));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + n), chunk);
    if (const unsigned stops = Stops(ListedRun::Chunk<Lanes<sizeof(Unit)>>(chunk))) {
      return n + static_cast<std::size_t>(__builtin_ctz(stops)) / sizeof(Unit);
    }
  }
  for (; n < limit && ListedRun::Continues(Value(units[n])); ++n) out[n] = units[n];
#else
  n = RunLength<ListedRun>(units, limit);
  std::memcpy(out, units, n * sizeof(Unit));
#endif
  return n;
}

// Up to the next carriage return or the end. 8-bit text goes to the C library's memchr where
// it is the fast one (glibc's uses AVX2) or the plain loops could only be slower. msvcrt's, as
// Wine runs it, made about 3 GB/s, a third of what SSE2 makes finding either end in one pass.
#if defined(_WIN32)
constexpr bool kMemchrBeatsSse2 = false;
#else
constexpr bool kMemchrBeatsSse2 = true;
#endif
template <typename Unit>
std::size_t ToLineEnd(const Unit* units, std::size_t size) {
  if constexpr (sizeof(Unit) == 1 && (kMemchrBeatsSse2 || !PINNAFEX_SCAN_SSE2)) {
    const void* cr = std::memchr(units, kCarriageReturn, size);
    const std::size_t end =
        cr ? static_cast<std::size_t>(static_cast<const Unit*>(cr) - units) : size;
    const void* zero = std::memchr(units, 0, end);
    return zero ? static_cast<std::size_t>(static_cast<const Unit*>(zero) - units) : end;
  } else {
    return RunLength<LineRun>(units, size);
  }
}

// Lines in a text that starts a line: one per carriage return, and one more when the text
// does not end with one. It ends at its first zero unit or after `size` units.
template <typename Unit>
std::size_t CountLines(const Unit* units, std::size_t size) {
  std::size_t returns = 0;
  std::size_t n = 0;
#if PINNAFEX_SCAN_SSE2
  using L = Lanes<sizeof(Unit)>;
  constexpr std::size_t kPerChunk = 16 / sizeof(Unit);
  for (; n + kPerChunk <= size; n += kPerChunk) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + n));
    auto crs = static_cast<unsigned>(_mm_movemask_epi8(L::Eq(chunk, kCarriageReturn)));
    const auto zeros = static_cast<unsigned>(_mm_movemask_epi8(L::Eq(chunk, 0)));
    if (zeros) crs &= (zeros & (0u - zeros)) - 1;  // those before the first zero
    returns += static_cast<std::size_t>(__builtin_popcount(crs)) / sizeof(Unit);
    if (zeros) {
      n += static_cast<std::size_t>(__builtin_ctz(zeros)) / sizeof(Unit);
      size = n;
      break;
    }
  }
#endif
  for (; n < size && units[n] != 0; ++n) returns += Value(units[n]) == kCarriageReturn;
  const bool openLast = n > 0 && Value(units[n - 1]) != kCarriageReturn;
  return returns + (openLast ? 1 : 0);
}

constexpr bool IsHighSurrogate(unsigned u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
constexpr bool IsLowSurrogate(unsigned u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// Not std::min: a library template built here for SSE2 might be the copy the linker keeps for
// the plain code too.
constexpr std::size_t Least(std::size_t a, std::size_t b) {
  return a < b ? a : b;
}

// Where an 8-bit line cut after `n` bytes ends whole: before a character that would not fit.
// `charBytes` gives each character's length by its first byte; the walk starts at the line's
// head, as a trail byte may look like a lead byte.
std::size_t WholeCharsEnd(const char* line, std::size_t n, const std::uint8_t* charBytes) {
  std::size_t at = 0;
  while (at < n) {
    const std::size_t width = charBytes[Value(line[at])] ? charBytes[Value(line[at])] : 1;
    if (at + width > n) break;
    at += width;
  }
  return at;
}

template <typename Unit>
LineCount Split(const Unit* text, std::size_t size, std::size_t maxLines, LineSink<Unit> sink,
                void* context, const std::uint8_t* charBytes) {
  LineCount count{0, 0};
  if (!text || !sink) return count;
  std::size_t p = RunLength<HeadRun>(text, size);

  Unit line[kLineBufferSize];
  std::size_t n = 0;
  while (p < size && text[p] != 0) {
    if (count.listed == maxLines) {
      count.unlisted = CountLines(text + p, size - p);
      break;
    }
    bool lineEnds = false;
    // A line end or a dropped unit is told at once, without a scan.
    const std::size_t run =
        ListedRun::Continues(Value(text[p]))
            ? CopyListedRun(text + p, Least(size - p, kMaxLineChars - n), line + n)
            : 0;
    if (run > 0) {
      n += run;
      p += run;
      if (n == kMaxLineChars) {
        // A character whose rest does not fit goes whole: half a character shows as junk.
        if constexpr (sizeof(Unit) == 1) {
          if (charBytes) n = WholeCharsEnd(line, n, charBytes);
        } else if (IsHighSurrogate(Value(line[n - 1])) && p < size &&
                   IsLowSurrogate(Value(text[p]))) {
          --n;
        }
        // The rest of the line is cut: nothing after it up to its carriage return is listed.
        p += ToLineEnd(text + p, size - p);
      }
      lineEnds = p == size || text[p] == 0;
    } else if (Value(text[p]) == kCarriageReturn) {
      ++p;
      lineEnds = true;
    } else {
      // Mostly a lone line feed; a flood is skipped in bulk.
      ++p;
      if (p < size && DroppedRun::Continues(Value(text[p]))) {
        p += RunLength<DroppedRun>(text + p, size - p);
      }
      lineEnds = p == size || text[p] == 0;
    }
    if (lineEnds) {
      line[n] = 0;
      sink(context, line);
      n = 0;
      ++count.listed;
    }
  }
  return count;
}

LineCount Split8(const char* text, std::size_t size, std::size_t maxLines, LineSink<char> sink,
                 void* context, const std::uint8_t* charBytes) {
  return Split(text, size, maxLines, sink, context, charBytes);
}
LineCount Split16(const char16_t* text, std::size_t size, std::size_t maxLines,
                  LineSink<char16_t> sink, void* context) {
  return Split(text, size, maxLines, sink, context, nullptr);
}

// Units before the first zero unit, at most `limit`.
std::size_t Length8(const char* text, std::size_t limit) {
  if (!text) return 0;
#if PINNAFEX_SCAN_SSE2
  return RunLength<TextRun>(text, limit);
#else
  const void* zero = limit ? std::memchr(text, 0, limit) : nullptr;
  return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : limit;
#endif
}
std::size_t Length16(const char16_t* text, std::size_t limit) {
  return text ? RunLength<TextRun>(text, limit) : 0;
}

// ASCII narrowed byte for byte; false at the first unit that is not ASCII.
bool NarrowAsciiUnits(const char16_t* text, std::size_t count, char* out) {
  std::size_t i = 0;
#if PINNAFEX_SCAN_SSE2
  const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
  for (; i + 16 <= count; i += 16) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 8));
    const __m128i beyond = _mm_and_si128(_mm_or_si128(low, high), highBits);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(beyond, _mm_setzero_si128())) != 0xFFFF) return false;
    // Every unit is below 0x80 now, so the saturating pack keeps each as it is.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
  }
#else
  // Eight units are checked together so the compiler can keep the loop in vector registers.
  constexpr std::size_t kChunk = 8;
  for (; i + kChunk <= count; i += kChunk) {
    unsigned any = 0;
    for (std::size_t k = 0; k < kChunk; ++k) any |= text[i + k];
    if (any >= 0x80) return false;
    for (std::size_t k = 0; k < kChunk; ++k) out[i + k] = static_cast<char>(text[i + k]);
  }
#endif
  for (; i < count; ++i) {
    if (text[i] >= 0x80) return false;
    out[i] = static_cast<char>(text[i]);
  }
  return true;
}

constexpr TextScans kScans = {Split8, Split16, Length8, Length16, NarrowAsciiUnits};

}  // namespace

}  // namespace pinnafex
