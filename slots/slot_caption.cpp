#include "slots/slot_caption.h"

#include <climits>
#include <cstdio>

namespace pinnafex {

namespace {

constexpr char16_t kEllipsis = u'\u2026';
constexpr const char* kPartWords[] = {"Push into slot", "Pop slot", "Lines of slot"};

// The amount shown and whether it is in KB.
int ShownSize(std::size_t blockSize, bool* inKb) {
  *inKb = blockSize > kCaptionKbAbove;
  std::size_t shown = *inKb ? blockSize / 1024 : blockSize;
  return static_cast<int>(shown > INT_MAX ? INT_MAX : shown);
}

// Appends ASCII to a UTF-16 buffer of `size` units at `at`; returns the new end, never past
// the last unit, which is left for the terminator.
std::size_t AppendAscii(const char* text, char16_t* out, std::size_t at, std::size_t size) {
  for (; *text && at + 1 < size; ++text) out[at++] = static_cast<char16_t>(*text);
  return at;
}

std::size_t AppendUnits(const char16_t* text, std::size_t count, char16_t* out, std::size_t at,
                        std::size_t size) {
  for (std::size_t i = 0; i < count && text[i] && at + 1 < size; ++i) out[at++] = text[i];
  return at;
}

std::size_t Length(const char16_t* text) {
  std::size_t n = 0;
  while (text && text[n]) ++n;
  return n;
}

bool IsBlank(char16_t unit) {
  return unit == u' ' || unit == u'\t' || unit == u'\u00A0' || unit == u'\u3000';
}

}  // namespace

void FormatSlotCaption(int slotNumber, std::size_t blockSize, bool secret, char* out,
                       std::size_t outSize) {
  if (!out || outSize == 0) return;
  if (secret) {
    std::snprintf(out, outSize, kCaptionPrivateFormat, slotNumber);
    return;
  }
  bool inKb = false;
  const int shown = ShownSize(blockSize, &inKb);
  std::snprintf(out, outSize, inKb ? kCaptionKbFormat : kCaptionBytesFormat, slotNumber, shown);
}

void FormatSlotSize(std::size_t blockSize, bool secret, char* out, std::size_t outSize) {
  if (!out || outSize == 0) return;
  bool inKb = false;
  const int shown = ShownSize(blockSize, &inKb);
  if (secret) {
    std::snprintf(out, outSize, "private");
  } else {
    std::snprintf(out, outSize, inKb ? "%i KB" : "%i Byte", shown);
  }
}

void FormatNamedCaption(int slotNumber, const char16_t* name, int width, CaptionMeasure measure,
                        void* context, char16_t (&out)[kCaptionSize]) {
  char number[16];
  std::snprintf(number, sizeof number, "%i ", slotNumber);
  const std::size_t head = AppendAscii(number, out, 0, kCaptionSize);
  const std::size_t whole = AppendUnits(name, Length(name), out, head, kCaptionSize);
  out[whole] = u'\0';
  if (measure(context, out, whole) <= width) return;
  // The longest head of the name that fits with the ellipsis behind it (the whole name does
  // not); the width only grows with the units kept, so halving finds it.
  std::size_t low = 0, high = whole > head ? whole - head - 1 : 0;
  while (low < high) {
    const std::size_t mid = (low + high + 1) / 2;
    out[head + mid] = kEllipsis;
    if (measure(context, out, head + mid + 1) <= width) {
      low = mid;
    } else {
      high = mid - 1;
    }
    out[head + mid] = name[mid];
  }
  std::size_t end = head + low;
  if (low > 0 && out[end - 1] >= 0xD800 && out[end - 1] < 0xDC00) --end;  // half a pair
  while (end > head && IsBlank(out[end - 1])) --end;
  out[end] = kEllipsis;
  out[end + 1] = u'\0';
}

void TrimSlotName(const char16_t* typed, char16_t* out, std::size_t outSize) {
  if (!out || outSize == 0) return;
  std::size_t begin = 0, end = Length(typed);
  while (begin < end && IsBlank(typed[begin])) ++begin;
  while (end > begin && IsBlank(typed[end - 1])) --end;
  out[AppendUnits(typed + begin, end - begin, out, 0, outSize)] = u'\0';
}

void FormatSlotPartName(SlotPart part, int slotNumber, const char16_t* name, char16_t* out,
                        std::size_t outSize) {
  if (!out || outSize == 0) return;
  char head[32];
  std::snprintf(head, sizeof head, "%s %i", kPartWords[static_cast<int>(part)], slotNumber);
  std::size_t at = AppendAscii(head, out, 0, outSize);
  if (Length(name) > 0) {
    at = AppendAscii(" ", out, at, outSize);
    at = AppendUnits(name, Length(name), out, at, outSize);
  }
  out[at] = u'\0';
}

}  // namespace pinnafex
