#include "slots/slot_text.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "slots/slot_scan.h"

namespace pinnafex {

std::size_t BoundedTextLength(const char* text, std::size_t limit) {
  return ChosenTextScans().length8(text, limit);
}

std::size_t BoundedTextLength(const char16_t* text, std::size_t limit) {
  return ChosenTextScans().length16(text, limit);
}

std::size_t SlotBlockSize(std::size_t textLength) {
  if (textLength > std::numeric_limits<std::size_t>::max() - kSlotBlockSlack) return 0;
  return textLength + kSlotBlockSlack;
}

bool NarrowAscii(const char16_t* text, std::size_t count, char* out) {
  return ChosenTextScans().narrowAscii(text, count, out);
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
