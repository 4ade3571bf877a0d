// How a slot's text becomes the entries of its drop-down list.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pinnafex {

constexpr std::size_t kLineBufferSize = 256;  // reused for every line, then for the caption
constexpr std::size_t kMaxLineChars = 250;    // a longer line is cut to its first 250
// A drop-down lists at most this many lines of a slot's text, then one entry that counts the
// rest; the slot keeps all of it. Each entry costs about 10 us under Wine: 0.1 s for the list.
constexpr std::size_t kMaxListedLines = 10000;

// Receives one line, zero-terminated, at most kMaxLineChars units; the buffer is reused for
// the next line.
template <typename Unit>
using LineSink = void (*)(void* context, const Unit* line);

struct LineCount {
  std::size_t listed;    // lines that reached the sink
  std::size_t unlisted;  // lines past the bound
};

// Splits a text of 8-bit characters (char) or UTF-16 units (char16_t) into lines. Only a
// carriage return ends a line; units 1..14 (tab, line feed, carriage return among them) are
// dropped, all others listed, those of 128 and above included. Blanks and control units at the
// head of the text are skipped, later lines keep theirs. A UTF-16 line is cut before a
// surrogate pair that would not fit whole; an 8-bit line of a code page of more than one byte
// a character, before a character that would not fit whole: `charBytes` then gives, for each
// byte, the length of a character that starts with it (null: one byte each). The text ends at
// its first zero unit or after `size` units. At most `maxLines` lines reach the sink; the
// others are only counted.
template <typename Unit>
LineCount SplitSlotLines(const Unit* text, std::size_t size, std::size_t maxLines,
                         LineSink<Unit> sink, void* context,
                         const std::uint8_t* charBytes = nullptr);

extern template LineCount SplitSlotLines<char>(const char*, std::size_t, std::size_t,
                                               LineSink<char>, void*, const std::uint8_t*);
extern template LineCount SplitSlotLines<char16_t>(const char16_t*, std::size_t, std::size_t,
                                                   LineSink<char16_t>, void*, const std::uint8_t*);

// Whether the scans over a slot's text (the splitter, the lengths, the narrowing) may run their
// SSE2 code: told once at start-up by the glue, which can ask the processor. Until then only a
// build that assumes SSE2 throughout uses it.
void UseSse2TextScans(bool processorHasSse2);

// The entry that ends a list cut at the bound, e.g. "... 10,123 more lines not listed";
// always zero-terminated within `size`.
void FormatUnlistedEntry(std::size_t unlisted, char* out, std::size_t size);

}  // namespace pinnafex
