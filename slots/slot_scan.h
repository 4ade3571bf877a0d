// The scans over a whole slot text, built twice: with plain loops, and with SSE2 for the
// processors that have it. The 32-bit exe must start on one that does not, so only the
// functions in this table ever run SSE2 code there.
#pragma once
#include <cstddef>
#include <cstdint>

#include "slots/slot_lines.h"

namespace pinnafex {

struct TextScans {
  LineCount (*split8)(const char* text, std::size_t size, std::size_t maxLines, LineSink<char> sink,
                      void* context, const std::uint8_t* charBytes);
  LineCount (*split16)(const char16_t* text, std::size_t size, std::size_t maxLines,
                       LineSink<char16_t> sink, void* context);
  std::size_t (*length8)(const char* text, std::size_t limit);
  std::size_t (*length16)(const char16_t* text, std::size_t limit);
  bool (*narrowAscii)(const char16_t* text, std::size_t count, char* out);
};

const TextScans* PlainTextScans();
const TextScans* Sse2TextScans();  // null where the build has no SSE2 code
const TextScans& ChosenTextScans();

}  // namespace pinnafex
