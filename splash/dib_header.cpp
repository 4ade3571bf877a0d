#include "splash/dib_header.h"

#include <cstdint>

namespace pinnafex {
namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Field offsets within BITMAPINFOHEADER.
constexpr std::size_t kSizeField = 0;
constexpr std::size_t kWidthField = 4;
constexpr std::size_t kHeightField = 8;
constexpr std::size_t kBitCountField = 14;
constexpr std::size_t kCompressionField = 16;
constexpr std::size_t kImageSizeField = 20;
constexpr std::size_t kColorsUsedField = 32;

constexpr std::uint16_t kDrawableBitCounts[] = {1, 4, 8, 16, 24, 32};

}  // namespace

bool ReadDibHeader(const std::uint8_t* block, std::size_t size, DibHeader* header) {
  if (block == nullptr || size < kDibHeaderBytes) return false;
  header->headerSize = ReadU32(block + kSizeField);
  header->width = static_cast<std::int32_t>(ReadU32(block + kWidthField));
  header->height = static_cast<std::int32_t>(ReadU32(block + kHeightField));
  header->bitCount = ReadU16(block + kBitCountField);
  header->compression = ReadU32(block + kCompressionField);
  header->imageSize = ReadU32(block + kImageSizeField);
  header->colorsUsed = ReadU32(block + kColorsUsedField);
  return true;
}

std::uint32_t DibColorCount(const DibHeader& header) {
  if (header.colorsUsed != 0) return header.colorsUsed;
  if (header.bitCount > 8) return 0;
  return std::uint32_t{1} << header.bitCount;
}

std::uint64_t DibPixelOffset(const DibHeader& header) {
  return kDibHeaderBytes + std::uint64_t{kColorEntryBytes} * DibColorCount(header);
}

std::uint64_t DibRowBytes(const DibHeader& header) {
  if (header.width < 0) return 0;
  const std::uint64_t bits = std::uint64_t(header.width) * header.bitCount;
  return (bits + 31) / 32 * 4;
}

std::int32_t DibAbsHeight(std::int32_t height) {
  if (height == INT32_MIN) return 0;
  return height < 0 ? -height : height;
}

bool DibColorTableFits(const DibHeader& header, std::uint64_t size) {
  return DibPixelOffset(header) <= size;
}

bool DibDrawable(const DibHeader& header, std::uint64_t size) {
  if (header.headerSize != kDibHeaderBytes) return false;
  if (header.compression == kDibRle8) {
    const std::uint64_t offset = DibPixelOffset(header);
    return header.bitCount == 8 && header.width > 0 && header.height > 0 && header.imageSize > 0 &&
           offset <= size && header.imageSize <= size - offset;
  }
  if (header.compression != kDibUncompressed) return false;
  bool knownDepth = false;
  for (std::uint16_t bits : kDrawableBitCounts) knownDepth = knownDepth || header.bitCount == bits;
  if (!knownDepth || header.width <= 0) return false;
  const std::uint64_t rows = static_cast<std::uint64_t>(DibAbsHeight(header.height));
  if (rows == 0) return false;
  const std::uint64_t offset = DibPixelOffset(header);
  if (offset > size) return false;
  // rows * rowBytes may pass 64 bits; compare by division instead.
  return rows <= (size - offset) / DibRowBytes(header);
}

PaletteColor DibPaletteColor(const std::uint8_t* colorEntry) {
  return PaletteColor{colorEntry[2], colorEntry[1], colorEntry[0], 0};
}

}  // namespace pinnafex
