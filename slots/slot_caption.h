// The caption of a slot's frame: its number and the size of its block, or its number and the
// name the user gave the slot; the size of a named slot's block in its tooltip; and the names
// a screen reader tells for a slot's controls.
#pragma once
#include <cstddef>

namespace pinnafex {

constexpr std::size_t kCaptionKbAbove = 1024;  // larger blocks are shown in KB
constexpr char kCaptionBytesFormat[] = "Clip %2i  %4i Byte";
constexpr char kCaptionKbFormat[] = "Clip %2i  %4i KB";
// A secret's caption tells no length: the bar is always on screen.
constexpr char kCaptionPrivateFormat[] = "Clip %2i  private";
constexpr std::size_t kCaptionSize = 64;  // any caption, a named one included, and its terminator

// Writes the caption of slot `slotNumber` (1..20) for a block of `blockSize` bytes (0 for an
// empty slot), or of a secret, into `out`, cut to fit `outSize` bytes and always terminated.
void FormatSlotCaption(int slotNumber, std::size_t blockSize, bool secret, char* out,
                       std::size_t outSize);
// The size alone, in the caption's own form: "39 Byte", "3 KB" or "private".
void FormatSlotSize(std::size_t blockSize, bool secret, char* out, std::size_t outSize);

// Width in pixels of `length` UTF-16 units of `text`, as the frame would draw them.
using CaptionMeasure = int (*)(void* context, const char16_t* text, std::size_t length);
// A named slot's caption, "4 IBAN Köln": the name cut with "…" until the caption measures at
// most `width` (never inside a surrogate pair); the number always stays.
void FormatNamedCaption(int slotNumber, const char16_t* name, int width, CaptionMeasure measure,
                        void* context, char16_t (&out)[kCaptionSize]);

// The name as the user typed it, without the blanks around it; "" removes the name.
void TrimSlotName(const char16_t* typed, char16_t* out, std::size_t outSize);

// What a screen reader says for a slot's Push, Pop and drop-down: "Pop slot 4 IBAN".
enum class SlotPart { kPush, kPop, kLines };
void FormatSlotPartName(SlotPart part, int slotNumber, const char16_t* name, char16_t* out,
                        std::size_t outSize);

}  // namespace pinnafex
