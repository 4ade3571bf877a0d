// The caption of a slot's frame: its number and the size of its block.
#pragma once
#include <cstddef>

namespace pinnafex {

constexpr std::size_t kCaptionKbAbove = 1024;  // larger blocks are shown in KB
constexpr char kCaptionBytesFormat[] = "Clip %2i  %4i Byte";
constexpr char kCaptionKbFormat[] = "Clip %2i  %4i KB";

// Writes the caption of slot `slotNumber` (1..20) for a block of `blockSize` bytes (0 for an
// empty slot) into `out`, cut to fit `outSize` bytes and always terminated.
void FormatSlotCaption(int slotNumber, std::size_t blockSize, char* out, std::size_t outSize);

}  // namespace pinnafex
