// Measures of a slot's text and of the block that holds it.
#pragma once
#include <cstddef>
#include <cstdint>

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

// For a single-byte code page: each UTF-16 unit's byte, where that byte gives the unit back
// exactly; kNoByte where none does.
constexpr int kUnitCount = 0x10000;
constexpr std::int16_t kNoByte = -1;
// `unitOfByte` holds what each byte 0..255 of the page reads as (0 for a byte that reads as
// nothing); `out` receives kUnitCount entries.
void BuildByteTable(const char16_t (&unitOfByte)[256], std::int16_t* out);
// Copies `count` units to `out` through the table; false at the first unit it cannot carry.
bool NarrowThroughTable(const char16_t* text, std::size_t count, const std::int16_t* table,
                        char* out);

// The text the clock field shows when another program keeps the clipboard open: it names
// the program's file, taken from `imagePath` (empty or null when unknown).
void FormatHeldNotice(const char* imagePath, char* out, std::size_t outSize);

}  // namespace pinnafex
