// Measures of a slot's text and of the block that holds it.
#pragma once
#include <cstddef>

namespace pinnafex {

// Zero bytes behind a slot's text: its block is the text's length plus this, and the zero
// fill supplies the terminator.
constexpr std::size_t kSlotBlockSlack = 5;

// Bytes before the first zero byte, reading no further than `limit` bytes: a clipboard block
// need not hold a terminator.
std::size_t BoundedTextLength(const char* text, std::size_t limit);
// The same for UTF-16 text: units before the first zero unit, at most `limit` units.
std::size_t BoundedTextLength(const char16_t* text, std::size_t limit);

// Size of the block for a text of `textLength` bytes, or 0 when that size does not fit.
std::size_t SlotBlockSize(std::size_t textLength);

// Copies `count` UTF-16 units to `out` as bytes when every one is ASCII, the form every ANSI
// code page shares; false at the first that is not (`out` then holds a partial copy).
bool NarrowAscii(const char16_t* text, std::size_t count, char* out);

// The text the clock field shows when another program keeps the clipboard open: it names
// the program's file, taken from `imagePath` (empty or null when unknown).
void FormatHeldNotice(const char* imagePath, char* out, std::size_t outSize);

}  // namespace pinnafex
