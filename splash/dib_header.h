// The arithmetic of a packed device-independent bitmap: a 40-byte header, a colour table of
// 4-byte entries (blue, green, red, reserved) and the pixel rows, with no file header in front.
// Every size here is computed in 64 bits, so no field value can overflow it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pinnafex {

constexpr std::size_t kDibHeaderBytes = 40;
constexpr std::size_t kColorEntryBytes = 4;
constexpr std::uint32_t kDibUncompressed = 0;  // the platform's BI_RGB
constexpr std::uint32_t kDibRle8 = 1;          // BI_RLE8: runs of 8-bit indices

// The header fields the bitmap helpers read.
struct DibHeader {
  std::uint32_t headerSize;
  std::int32_t width;
  std::int32_t height;  // positive: rows stored bottom-up; negative: top-down
  std::uint16_t bitCount;
  std::uint32_t compression;
  std::uint32_t imageSize;  // bytes of the encoded rows of a compressed image
  std::uint32_t colorsUsed;
};

// One logical palette entry, laid out as the platform's PALETTEENTRY.
struct PaletteColor {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  std::uint8_t flags;
};

// Reads the header at the start of a block of `size` bytes; false if the block is shorter than
// the header.
bool ReadDibHeader(const std::uint8_t* block, std::size_t size, DibHeader* header);

// Entries in the colour table: the colours-used field if set, else 2^bits up to 8 bits, else 0.
std::uint32_t DibColorCount(const DibHeader& header);

// Where the pixel rows begin: right after the header and a colour table of DibColorCount entries.
std::uint64_t DibPixelOffset(const DibHeader& header);

// Bytes of one pixel row, padded to 4 bytes; 0 for a negative width.
std::uint64_t DibRowBytes(const DibHeader& header);

// The number of rows, whichever order they are stored in; 0 for a height with no positive
// counterpart (the most negative 32-bit value).
std::int32_t DibAbsHeight(std::int32_t height);

// Whether the header and its whole colour table lie within a block of `size` bytes.
bool DibColorTableFits(const DibHeader& header, std::uint64_t size);

// Whether the platform can draw the block as this module lays it out: a plain 40-byte header,
// uncompressed rows of 1, 4, 8, 16, 24 or 32 bits, a positive width, some rows, and header,
// colour table and every pixel row within a block of `size` bytes. Run-length encoded 8-bit
// rows are drawable bottom-up with their encoded bytes within the block (the platform decodes
// them and stops at the block's stated end).
bool DibDrawable(const DibHeader& header, std::uint64_t size);

// Palette entry from one colour-table entry (blue, green, red, reserved); the reserved byte
// is dropped and the flags are 0.
PaletteColor DibPaletteColor(const std::uint8_t* colorEntry);

}  // namespace pinnafex
