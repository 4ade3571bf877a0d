#include "slots/slot_lines.h"

#include <cstdio>

#define PINNAFEX_SCAN_SSE2 0
#include "slots/slot_scan_body.h"

namespace pinnafex {

namespace {

// Builds that assume SSE2 throughout (x86_64) start on it; the 32-bit one waits for the
// processor's answer.
#if defined(__SSE2__)
const TextScans* gChosenScans = Sse2TextScans();
#else
const TextScans* gChosenScans = &kScans;
#endif

}  // namespace

const TextScans* PlainTextScans() {
  return &kScans;
}

const TextScans& ChosenTextScans() {
  return *gChosenScans;
}

void UseSse2TextScans(bool processorHasSse2) {
  const TextScans* sse2 = Sse2TextScans();
  gChosenScans = processorHasSse2 && sse2 ? sse2 : &kScans;
}

template <typename Unit>
LineCount SplitSlotLines(const Unit* text, std::size_t size, std::size_t maxLines,
                         LineSink<Unit> sink, void* context, const std::uint8_t* charBytes) {
  if constexpr (sizeof(Unit) == 1) {
    return gChosenScans->split8(text, size, maxLines, sink, context, charBytes);
  } else {
    return gChosenScans->split16(text, size, maxLines, sink, context);
  }
}

template LineCount SplitSlotLines<char>(const char*, std::size_t, std::size_t, LineSink<char>,
                                        void*, const std::uint8_t*);
template LineCount SplitSlotLines<char16_t>(const char16_t*, std::size_t, std::size_t,
                                            LineSink<char16_t>, void*, const std::uint8_t*);

void FormatUnlistedEntry(std::size_t unlisted, char* out, std::size_t size) {
  if (!out || size == 0) return;
  // Digits in groups of three, built from the right.
  char digits[32];
  char* d = digits + sizeof digits;
  *--d = 0;
  std::size_t left = unlisted;
  for (int i = 0; i == 0 || left > 0; ++i) {
    if (i > 0 && i % 3 == 0) *--d = ',';
    *--d = static_cast<char>('0' + left % 10);
    left /= 10;
  }
  std::snprintf(out, size, "... %s more %s not listed", d, unlisted == 1 ? "line" : "lines");
}

}  // namespace pinnafex
