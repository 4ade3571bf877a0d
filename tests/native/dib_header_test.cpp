#include "splash/dib_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pinnafex {
namespace {

// A packed bitmap's first bytes, laid out by hand: BITMAPINFOHEADER then `size` - 40 zero bytes.
struct HeaderFields {
  std::uint32_t headerSize;
  std::int32_t width;
  std::int32_t height;
  std::uint16_t bitCount;
  std::uint32_t compression;
  std::uint32_t colorsUsed;
};

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> Block(const HeaderFields& fields, std::size_t size) {
  std::vector<std::uint8_t> out(size < 40 ? 40 : size, 0);
  Put32(out, 0, fields.headerSize);
  Put32(out, 4, static_cast<std::uint32_t>(fields.width));
  Put32(out, 8, static_cast<std::uint32_t>(fields.height));
  out[12] = 1;  // planes
  out[14] = static_cast<std::uint8_t>(fields.bitCount);
  out[15] = static_cast<std::uint8_t>(fields.bitCount >> 8);
  Put32(out, 16, fields.compression);
  Put32(out, 20, 0xDEADBEEF);  // image size: not read
  Put32(out, 32, fields.colorsUsed);
  out.resize(size);
  return out;
}

DibHeader Parse(const HeaderFields& fields) {
  const std::vector<std::uint8_t> bytes = Block(fields, 40);
  DibHeader header{};
  EXPECT_TRUE(ReadDibHeader(bytes.data(), bytes.size(), &header));
  return header;
}

TEST(DibHeader, ReadsTheFieldsItUses) {
  const std::vector<std::uint8_t> bytes = Block({40, 328, -213, 8, 0, 12}, 60);
  DibHeader header{};
  ASSERT_TRUE(ReadDibHeader(bytes.data(), bytes.size(), &header));
  EXPECT_EQ(header.headerSize, 40u);
  EXPECT_EQ(header.width, 328);
  EXPECT_EQ(header.height, -213);
  EXPECT_EQ(header.bitCount, 8);
  EXPECT_EQ(header.compression, 0u);
  EXPECT_EQ(header.colorsUsed, 12u);
}

TEST(DibHeader, BlockShorterThanHeaderIsRefused) {
  const std::vector<std::uint8_t> bytes = Block({40, 1, 1, 8, 0, 0}, 40);
  DibHeader header{};
  EXPECT_FALSE(ReadDibHeader(bytes.data(), 39, &header));
  EXPECT_FALSE(ReadDibHeader(bytes.data(), 0, &header));
  EXPECT_FALSE(ReadDibHeader(nullptr, 40, &header));
}

TEST(DibHeader, ColorCountAndPixelOffset) {
  struct Row {
    std::uint16_t bits;
    std::uint32_t colorsUsed;
    std::uint32_t count;
    std::uint64_t offset;
  };
  const Row rows[] = {
      {8, 0, 256, 1064},
      {4, 12, 12, 88},
      {24, 0, 0, 40},
      {1, 0, 2, 48},
      {4, 0, 16, 104},
      {0, 0, 1, 44},
      {16, 0, 0, 40},
      {32, 0, 0, 40},
      {32, 3, 3, 52},
      {9, 0, 0, 40},
      {65535, 0, 0, 40},
      {8, 0xFFFFFFFF, 0xFFFFFFFF, 17179869220ull},  // 40 + 4 * 0xFFFFFFFF, no wrap
  };
  for (const Row& row : rows) {
    const DibHeader header = Parse({40, 16, 16, row.bits, 0, row.colorsUsed});
    EXPECT_EQ(DibColorCount(header), row.count)
        << "bits " << row.bits << " colours-used " << row.colorsUsed;
    EXPECT_EQ(DibPixelOffset(header), row.offset)
        << "bits " << row.bits << " colours-used " << row.colorsUsed;
  }
}

TEST(DibHeader, RowBytesArePaddedToFourBytes) {
  struct Row {
    std::int32_t width;
    std::uint16_t bits;
    std::uint64_t rowBytes;
  };
  const Row rows[] = {
      {328, 8, 328},
      {1, 1, 4},
      {32, 1, 4},
      {33, 1, 8},
      {5, 4, 4},
      {9, 4, 8},
      {3, 24, 12},
      {1, 24, 4},
      {0, 8, 0},
      {-5, 8, 0},
      {INT32_MAX, 32, 8589934588ull},
      {INT32_MAX, 65535, 17591917600772ull},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DibRowBytes(Parse({40, row.width, 1, row.bits, 0, 0})), row.rowBytes)
        << "width " << row.width << " bits " << row.bits;
  }
}

TEST(DibHeader, AbsoluteHeight) {
  const std::int32_t rows[][2] = {
      {-213, 213},   {213, 213}, {0, 0}, {-1, 1}, {INT32_MAX, INT32_MAX}, {-INT32_MAX, INT32_MAX},
      {INT32_MIN, 0}};
  for (const auto& row : rows) {
    EXPECT_EQ(DibAbsHeight(row[0]), row[1]) << "height " << row[0];
  }
}

TEST(DibHeader, ColorTableMustFitTheBlock) {
  struct Row {
    HeaderFields fields;
    std::uint64_t size;
    bool fits;
  };
  const Row rows[] = {
      {{40, 328, 213, 8, 0, 0}, 1064, true},
      {{40, 328, 213, 8, 0, 0}, 1063, false},
      {{40, 4, 4, 4, 0, 12}, 88, true},
      {{40, 4, 4, 4, 0, 12}, 87, false},
      {{40, 4, 4, 24, 0, 0}, 40, true},
      {{40, 328, 213, 8, 0, 0xFFFFFFFF}, 70928, false},
      {{40, 328, 213, 8, 0, 0xFFFFFFFF}, UINT32_MAX, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DibColorTableFits(Parse(row.fields), row.size), row.fits)
        << "bits " << row.fields.bitCount << " colours-used " << row.fields.colorsUsed << " size "
        << row.size;
  }
}

TEST(DibHeader, DrawableOnlyWhenEveryRowFitsTheBlock) {
  struct Row {
    const char* what;
    HeaderFields fields;
    std::uint64_t size;
    bool drawable;
  };
  const Row rows[] = {
      {"splash image", {40, 328, 213, 8, 0, 0}, 70928, true},
      {"splash image one byte short", {40, 328, 213, 8, 0, 0}, 70927, false},
      {"top-down splash image", {40, 328, -213, 8, 0, 0}, 70928, true},
      {"4-bit, 12 colours, 5x3", {40, 5, 3, 4, 0, 12}, 88 + 12, true},
      {"4-bit, 12 colours, short", {40, 5, 3, 4, 0, 12}, 88 + 11, false},
      {"24-bit 3x2", {40, 3, 2, 24, 0, 0}, 40 + 24, true},
      {"24-bit 3x2 short", {40, 3, 2, 24, 0, 0}, 40 + 23, false},
      {"colours-used 0xFFFFFFFF", {40, 328, 213, 8, 0, 0xFFFFFFFF}, 70928, false},
      {"zero width", {40, 0, 213, 8, 0, 0}, 70928, false},
      {"negative width", {40, -328, 213, 8, 0, 0}, 70928, false},
      {"zero height", {40, 328, 0, 8, 0, 0}, 70928, false},
      {"most negative height", {40, 1, INT32_MIN, 8, 0, 0}, UINT64_MAX, false},
      {"huge rows", {40, INT32_MAX, INT32_MAX, 32, 0, 0}, 70928, false},
      {"huge rows, exact fit", {40, INT32_MAX, INT32_MAX, 32, 0, 0}, 18446744056529682476ull, true},
      {"huge rows, one short",
       {40, INT32_MAX, INT32_MAX, 32, 0, 0},
       18446744056529682475ull,
       false},
      {"7 bits", {40, 4, 4, 7, 0, 0}, 4096, false},
      {"0 bits", {40, 4, 4, 0, 0, 0}, 4096, false},
      {"run-length compressed", {40, 328, 213, 8, 1, 0}, 70928, false},
      {"larger header", {108, 328, 213, 8, 0, 0}, 70928, false},
      {"header size 0", {0, 328, 213, 8, 0, 0}, 70928, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DibDrawable(Parse(row.fields), row.size), row.drawable)
        << row.what << ", size " << row.size;
  }
}

TEST(DibHeader, PaletteColorSwapsBlueAndRedAndDropsReserved) {
  const std::uint8_t entry[4] = {0x10, 0x20, 0x30, 0x40};  // blue, green, red, reserved
  const PaletteColor color = DibPaletteColor(entry);
  EXPECT_EQ(color.red, 0x30);
  EXPECT_EQ(color.green, 0x20);
  EXPECT_EQ(color.blue, 0x10);
  EXPECT_EQ(color.flags, 0);
}

}  // namespace
}  // namespace pinnafex
