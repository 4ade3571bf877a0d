// How a slot's text becomes the entries of its drop-down list.
#pragma once
#include <cstddef>

namespace pinnafex {

constexpr std::size_t kLineBufferSize = 256;  // reused for every line, then for the caption
constexpr std::size_t kMaxLineChars = 250;    // a longer line is cut to its first 250
// A drop-down lists at most this many lines of a slot's text; the slot keeps all of it. Each
// entry costs about 10 us under Wine, and a refresh fills all twenty drop-downs: with this
// bound even twenty long texts refresh in about 50 ms.
constexpr std::size_t kMaxListedLines = 50;

// Receives one line, zero-terminated, at most kMaxLineChars characters; the buffer is reused
// for the next line.
using LineSink = void (*)(void* context, const char* line);

// Splits a text into lines. Only a carriage return ends a line; bytes 1..14 (tab, line feed,
// carriage return among them) are dropped, all others listed, those of 128 and above included.
// Blanks and control bytes at the head of the text are skipped, later lines keep theirs. The
// text ends at its first zero byte or after `size` bytes. At most `maxLines` lines reach the
// sink; returns how many did.
std::size_t SplitSlotLines(const char* text, std::size_t size, std::size_t maxLines, LineSink sink,
                           void* context);

}  // namespace pinnafex
