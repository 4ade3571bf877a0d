#include "slots/slot_text.h"

#include <cstring>
#include <limits>

namespace pinnafex {

std::size_t BoundedTextLength(const char* text, std::size_t limit) {
  if (!text || limit == 0) return 0;
  const void* zero = std::memchr(text, 0, limit);
  return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : limit;
}

std::size_t SlotBlockSize(std::size_t textLength) {
  if (textLength > std::numeric_limits<std::size_t>::max() - kSlotBlockSlack) return 0;
  return textLength + kSlotBlockSlack;
}

}  // namespace pinnafex
