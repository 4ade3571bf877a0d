// The caption of a slot's frame: its number and the size of its block.
#pragma once
#include <cstddef>

namespace pinnafex {

constexpr std::size_t kCaptionKbAbove = 1024;  // larger blocks are shown in KB
constexpr char kCaptionBytesFormat[] = "Clip %2i  %4i Byte";
constexpr char kCaptionKbFormat[] = "Clip %2i  %4i KB";
// A secret's caption tells no length: the bar is always on screen.
constexpr char kCaptionPrivateFormat[] = "Clip %2i  private";

// Writes the caption of slot `slotNumber` (1..20) for a block of `blockSize` bytes (0 for an
// empty slot), or of a secret, into `out`, cut to fit `outSize` bytes and always terminated.
void FormatSlotCaption(int slotNumber, std::size_t blockSize, bool secret, char* out,
                       std::size_t outSize);

}  // namespace pinnafex
