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

// Size of the block for a text of `textLength` bytes, or 0 when that size does not fit.
std::size_t SlotBlockSize(std::size_t textLength);

}  // namespace pinnafex
