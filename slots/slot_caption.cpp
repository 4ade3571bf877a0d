#include "slots/slot_caption.h"

#include <climits>
#include <cstdio>

namespace pinnafex {

void FormatSlotCaption(int slotNumber, std::size_t blockSize, bool secret, char* out,
                       std::size_t outSize) {
  if (!out || outSize == 0) return;
  if (secret) {
    std::snprintf(out, outSize, kCaptionPrivateFormat, slotNumber);
    return;
  }
  const bool inKb = blockSize > kCaptionKbAbove;
  std::size_t shown = inKb ? blockSize / 1024 : blockSize;
  if (shown > INT_MAX) shown = INT_MAX;
  std::snprintf(out, outSize, inKb ? kCaptionKbFormat : kCaptionBytesFormat, slotNumber,
                static_cast<int>(shown));
}

}  // namespace pinnafex
