#include "slots/slot_text.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace pinnafex {

std::size_t BoundedTextLength(const char* text, std::size_t limit) {
  if (!text || limit == 0) return 0;
  const void* zero = std::memchr(text, 0, limit);
  return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : limit;
}

std::size_t BoundedTextLength(const char16_t* text, std::size_t limit) {
  if (!text) return 0;
  std::size_t n = 0;
  while (n < limit && text[n] != 0) ++n;
  return n;
}

std::size_t SlotBlockSize(std::size_t textLength) {
  if (textLength > std::numeric_limits<std::size_t>::max() - kSlotBlockSlack) return 0;
  return textLength + kSlotBlockSlack;
}

bool NarrowAscii(const char16_t* text, std::size_t count, char* out) {
  // Eight units are checked together so the compiler can keep the loop in vector registers.
  constexpr std::size_t kChunk = 8;
  std::size_t i = 0;
  for (; i + kChunk <= count; i += kChunk) {
    unsigned any = 0;
    for (std::size_t k = 0; k < kChunk; ++k) any |= text[i + k];
    if (any >= 0x80) return false;
    for (std::size_t k = 0; k < kChunk; ++k) out[i + k] = static_cast<char>(text[i + k]);
  }
  for (; i < count; ++i) {
    if (text[i] >= 0x80) return false;
    out[i] = static_cast<char>(text[i]);
  }
  return true;
}

void BuildByteTable(const char16_t (&unitOfByte)[256], std::int16_t* out) {
  for (int unit = 0; unit < kUnitCount; ++unit) out[unit] = kNoByte;
  // Where two bytes read as one unit, the first keeps it; unit 0 is the terminator's alone.
  for (int byte = 255; byte >= 1; --byte) {
    if (unitOfByte[byte]) out[unitOfByte[byte]] = static_cast<std::int16_t>(byte);
  }
}

bool NarrowThroughTable(const char16_t* text, std::size_t count, const std::int16_t* table,
                        char* out) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::int16_t byte = table[text[i]];
    if (byte == kNoByte) return false;
    out[i] = static_cast<char>(byte);
  }
  return true;
}

void FormatHeldNotice(const char* imagePath, char* out, std::size_t outSize) {
  if (!out || outSize == 0) return;
  const char* name = imagePath ? imagePath : "";
  for (const char* p = name; *p; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  }
  std::snprintf(out, outSize, "Clipboard held by %s", *name ? name : "another program");
}

}  // namespace pinnafex
