// The bitmap helpers through the real graphics API, on blocks built here byte by byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "splash/dib.h"

namespace pinnafex {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// BITMAPINFOHEADER as bytes.
Bytes Header(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t used) {
  Bytes out(40, 0);
  Put32(out, 0, 40);
  Put32(out, 4, static_cast<std::uint32_t>(width));
  Put32(out, 8, static_cast<std::uint32_t>(height));
  out[12] = 1;
  out[14] = static_cast<std::uint8_t>(bits);
  Put32(out, 32, used);
  return out;
}

DibBlock BlockOf(const Bytes& bytes) {
  DibBlock block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) return nullptr;
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

// The colour-table entry for index i, as blue, green, red, reserved: distinct for every index.
COLORREF TableColor(unsigned i) {
  return RGB(i, 255 - i, (i * 7) & 0xFF);
}

void PutTable(Bytes& out, unsigned entries) {
  for (unsigned i = 0; i < entries; ++i) {
    const COLORREF c = TableColor(i);
    out.push_back(GetBValue(c));
    out.push_back(GetGValue(c));
    out.push_back(GetRValue(c));
    out.push_back(0x40);  // reserved: never carried over
  }
}

// A picture given top row first, as palette indices (bits <= 8) or as COLORREFs (24 bits),
// stored in the order the height's sign asks for, each row padded to 4 bytes.
Bytes PackedDib(const std::vector<std::vector<std::uint32_t>>& picture, std::uint16_t bits,
                std::uint32_t used, unsigned tableEntries, bool topDown) {
  const int width = static_cast<int>(picture[0].size());
  const int height = static_cast<int>(picture.size());
  Bytes out = Header(width, topDown ? -height : height, bits, used);
  PutTable(out, tableEntries);
  const std::size_t rowBytes = (std::size_t(width) * bits + 31) / 32 * 4;
  for (int stored = 0; stored < height; ++stored) {
    const auto& row = picture[topDown ? stored : height - 1 - stored];
    Bytes packed(rowBytes, 0);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = row[x];
      if (bits == 24) {
        packed[3 * x] = GetBValue(v);
        packed[3 * x + 1] = GetGValue(v);
        packed[3 * x + 2] = GetRValue(v);
      } else if (bits == 8) {
        packed[x] = static_cast<std::uint8_t>(v);
      } else if (bits == 4) {
        packed[x / 2] |= static_cast<std::uint8_t>(x % 2 ? v : v << 4);
      } else if (bits == 1) {
        packed[x / 8] |= static_cast<std::uint8_t>(v << (7 - x % 8));
      }
    }
    out.insert(out.end(), packed.begin(), packed.end());
  }
  return out;
}

constexpr COLORREF kUntouched = RGB(1, 2, 3);

// A 32-bit memory surface filled with kUntouched.
struct Surface {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;
  Surface(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(kUntouched);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
  }
  ~Surface() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

int PaletteSize(HPALETTE palette) {
  WORD entries = 0;
  return GetObjectA(palette, sizeof(entries), &entries) ? entries : -1;
}

TEST(DibHelpers, NullBlockGivesZeroNullFalse) {
  Surface surface(4, 4);
  EXPECT_EQ(DibBitCount(nullptr), 0);
  EXPECT_EQ(DibWidth(nullptr), 0);
  EXPECT_EQ(DibHeight(nullptr), 0);
  EXPECT_EQ(CreateDibPalette(nullptr), nullptr);
  EXPECT_EQ(CopyDibBlock(nullptr), nullptr);
  EXPECT_FALSE(DrawDib(nullptr, surface.dc, 0, 0));
  FreeDibBlock(nullptr);
  EXPECT_EQ(GetPixel(surface.dc, 0, 0), kUntouched);
}

TEST(DibHelpers, HeaderFieldsAndPaletteSize) {
  struct Row {
    const char* what;
    std::int32_t width, height;
    std::uint16_t bits;
    std::uint32_t used;
    unsigned tableEntries;
    int expectHeight;
    int expectPalette;  // entries; 0: no palette
  };
  const Row rows[] = {
      {"8-bit, colours-used 0", 328, 213, 8, 0, 256, 213, 256},
      {"4-bit, colours-used 12", 5, 3, 4, 12, 12, 3, 12},
      {"1-bit, colours-used 0", 8, 1, 1, 0, 2, 1, 2},
      {"24-bit, colours-used 0", 3, 2, 24, 0, 0, 2, 0},
      {"top-down 8-bit", 328, -213, 8, 0, 256, 213, 256},
  };
  for (const Row& row : rows) {
    Bytes bytes = Header(row.width, row.height, row.bits, row.used);
    PutTable(bytes, row.tableEntries);
    bytes.resize(bytes.size() +
                 (std::size_t(row.width) * row.bits + 31) / 32 * 4 * std::size_t(row.expectHeight));
    DibBlock block = BlockOf(bytes);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(DibBitCount(block), row.bits) << row.what;
    EXPECT_EQ(DibWidth(block), row.width) << row.what;
    EXPECT_EQ(DibHeight(block), row.expectHeight) << row.what;
    HPALETTE palette = CreateDibPalette(block);
    if (row.expectPalette == 0) {
      EXPECT_EQ(palette, nullptr) << row.what;
    } else {
      EXPECT_EQ(PaletteSize(palette), row.expectPalette) << row.what;
    }
    if (palette) DeleteObject(palette);
    FreeDibBlock(block);
  }
}

TEST(DibHelpers, ColorCountOfHeader) {
  struct Row {
    std::uint16_t bits;
    std::uint32_t used;
    DWORD count;
  };
  const Row rows[] = {{8, 0, 256}, {4, 12, 12}, {24, 0, 0},
                      {1, 0, 2},   {4, 0, 16},  {0, 0, 1},
                      {32, 0, 0},  {16, 5, 5},  {8, 0xFFFFFFFF, 0xFFFFFFFF}};
  for (const Row& row : rows) {
    const Bytes bytes = Header(4, 4, row.bits, row.used);
    EXPECT_EQ(DibColorCount(reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data())), row.count)
        << "bits " << row.bits << " colours-used " << row.used;
  }
}

TEST(DibHelpers, PaletteEntriesComeFromTheColorTable) {
  Bytes bytes = Header(4, 1, 4, 12);
  PutTable(bytes, 12);
  bytes[40 + 4 * 5 + 0] = 0x10;  // entry 5: blue, green, red, reserved
  bytes[40 + 4 * 5 + 1] = 0x20;
  bytes[40 + 4 * 5 + 2] = 0x30;
  bytes[40 + 4 * 5 + 3] = 0x40;
  bytes.resize(bytes.size() + 4);
  DibBlock block = BlockOf(bytes);
  HPALETTE palette = CreateDibPalette(block);
  ASSERT_NE(palette, nullptr);
  PALETTEENTRY entries[12];
  std::memset(entries, 0xCC, sizeof(entries));
  ASSERT_EQ(GetPaletteEntries(palette, 0, 12, entries), 12u);
  for (unsigned i = 0; i < 12; ++i) {
    const COLORREF expected = i == 5 ? RGB(0x30, 0x20, 0x10) : TableColor(i);
    EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), expected)
        << "entry " << i;
    EXPECT_EQ(entries[i].peFlags, 0) << "entry " << i;
  }
  DeleteObject(palette);
  FreeDibBlock(block);
}

// Each picture drawn at (1, 2) must show upright at its own size, whatever the row order.
TEST(DibHelpers, DrawsUprightAtItsOwnSize) {
  const std::vector<std::vector<std::uint32_t>> indexed = {
      {0, 1, 2, 3, 4}, {5, 6, 7, 8, 9}, {10, 11, 0, 1, 2}};
  const std::vector<std::vector<std::uint32_t>> bits1 = {{1, 0, 1, 1, 0, 0, 0, 1, 1},
                                                         {0, 1, 0, 0, 1, 1, 1, 0, 0}};
  const std::vector<std::vector<std::uint32_t>> wide = {{200, 17, 255, 0, 128, 64},
                                                        {1, 2, 3, 4, 5, 6}};
  const std::vector<std::vector<std::uint32_t>> rgb = {
      {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}, {RGB(9, 8, 7), RGB(40, 50, 60), 0}};
  struct Row {
    const char* what;
    const std::vector<std::vector<std::uint32_t>>& picture;
    std::uint16_t bits;
    std::uint32_t used;
    unsigned tableEntries;
  };
  const Row rows[] = {
      {"8-bit, 256 colours (rows at 1064)", wide, 8, 0, 256},
      {"4-bit, 12 colours (rows at 88)", indexed, 4, 12, 12},
      {"1-bit, 2 colours", bits1, 1, 0, 2},
      {"24-bit, no table (rows at 40)", rgb, 24, 0, 0},
  };
  for (const Row& row : rows) {
    for (bool topDown : {false, true}) {
      DibBlock block =
          BlockOf(PackedDib(row.picture, row.bits, row.used, row.tableEntries, topDown));
      const int width = static_cast<int>(row.picture[0].size());
      const int height = static_cast<int>(row.picture.size());
      Surface surface(width + 3, height + 4);
      EXPECT_TRUE(DrawDib(block, surface.dc, 1, 2)) << row.what << (topDown ? " top-down" : "");
      for (int y = 0; y < height + 4; ++y) {
        for (int x = 0; x < width + 3; ++x) {
          const bool inside = x >= 1 && x < 1 + width && y >= 2 && y < 2 + height;
          COLORREF expected = kUntouched;
          if (inside) {
            const std::uint32_t v = row.picture[y - 2][x - 1];
            expected = row.bits == 24 ? v : TableColor(v);
          }
          EXPECT_EQ(GetPixel(surface.dc, x, y), expected)
              << row.what << (topDown ? " top-down" : " bottom-up") << " at " << x << "," << y;
        }
      }
      FreeDibBlock(block);
    }
  }
}

// Headers that claim more than their block holds: no helper reads past the block.
TEST(DibHelpers, BadHeadersFailSoundly) {
  struct Row {
    const char* what;
    Bytes bytes;
    int expectHeight;
    bool expectPalette;
  };
  Bytes shortRows = PackedDib({{1, 2, 3, 4}, {5, 6, 7, 8}}, 8, 0, 256, false);
  shortRows.resize(shortRows.size() - 1);
  Bytes hugeUsed = Header(4, 2, 8, 0xFFFFFFFF);
  hugeUsed.resize(40 + 1024 + 8);
  Bytes shortTable = Header(4, 2, 8, 0);
  shortTable.resize(40 + 1023);
  Bytes hugeWidth = Header(INT32_MAX, 2, 24, 0);
  hugeWidth.resize(64);
  Bytes hugeHeight = Header(4, INT32_MAX, 24, 0);
  hugeHeight.resize(64);
  Bytes mostNegative = Header(4, INT32_MIN, 24, 0);
  mostNegative.resize(64);
  Bytes negativeWidth = Header(-4, 2, 24, 0);
  negativeWidth.resize(64);
  Bytes compressed = PackedDib({{1, 2, 3, 4}}, 8, 0, 256, false);
  Put32(compressed, 16, 1);  // BI_RLE8
  const Row rows[] = {
      {"rows one byte short", shortRows, 2, true},
      {"colours-used 0xFFFFFFFF", hugeUsed, 2, false},
      {"colour table one byte short", shortTable, 2, false},
      {"width past the block", hugeWidth, 2, false},
      {"height past the block", hugeHeight, INT32_MAX, false},
      {"most negative height", mostNegative, 0, false},
      {"negative width", negativeWidth, 2, false},
      {"run-length compressed", compressed, 1, true},
  };
  for (const Row& row : rows) {
    DibBlock block = BlockOf(row.bytes);
    ASSERT_NE(block, nullptr) << row.what;
    Surface surface(8, 8);
    EXPECT_FALSE(DrawDib(block, surface.dc, 0, 0)) << row.what;
    EXPECT_EQ(GetPixel(surface.dc, 0, 0), kUntouched) << row.what;
    EXPECT_EQ(DibHeight(block), row.expectHeight) << row.what;
    HPALETTE palette = CreateDibPalette(block);
    EXPECT_EQ(palette != nullptr, row.expectPalette) << row.what;
    if (palette) DeleteObject(palette);
    FreeDibBlock(block);
  }
}

TEST(DibHelpers, BlockShorterThanAHeaderReadsAsEmpty) {
  Bytes bytes = Header(4, 4, 8, 0);
  bytes.resize(39);
  DibBlock block = BlockOf(bytes);
  Surface surface(4, 4);
  EXPECT_EQ(DibBitCount(block), 0);
  EXPECT_EQ(DibWidth(block), 0);
  EXPECT_EQ(DibHeight(block), 0);
  EXPECT_EQ(CreateDibPalette(block), nullptr);
  EXPECT_FALSE(DrawDib(block, surface.dc, 0, 0));
  FreeDibBlock(block);
}

TEST(DibHelpers, PaletteFromInfoIsBoundedByTheBlockSize) {
  Bytes bytes = Header(4, 1, 8, 0);
  PutTable(bytes, 256);
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
  HPALETTE whole = CreatePaletteFromInfo(header, bytes.size());
  EXPECT_EQ(PaletteSize(whole), 256);
  if (whole) DeleteObject(whole);
  EXPECT_EQ(CreatePaletteFromInfo(header, bytes.size() - 1), nullptr);
  EXPECT_EQ(CreatePaletteFromInfo(header, 39), nullptr);
}

TEST(DibHelpers, CopyHasTheSameSizeAndBytes) {
  DibBlock source = LoadDibResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(12563));
  ASSERT_NE(source, nullptr);
  DibBlock copy = CopyDibBlock(source);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, source);
  ASSERT_EQ(GlobalSize(copy), GlobalSize(source));
  const void* a = GlobalLock(source);
  const void* b = GlobalLock(copy);
  EXPECT_EQ(std::memcmp(a, b, GlobalSize(source)), 0);
  GlobalUnlock(copy);
  GlobalUnlock(source);
  FreeDibBlock(copy);
  FreeDibBlock(source);
}

TEST(DibHelpers, LoadsTheBitmapResources) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  for (WORD id : {12563, 12633}) {
    DibBlock block = LoadDibResource(instance, MAKEINTRESOURCEA(id));
    ASSERT_NE(block, nullptr) << id;
    EXPECT_EQ(GlobalSize(block), 70928u) << id;
    EXPECT_EQ(DibWidth(block), 328) << id;
    EXPECT_EQ(DibHeight(block), 213) << id;
    EXPECT_EQ(DibBitCount(block), 8) << id;
    HPALETTE palette = CreateDibPalette(block);
    EXPECT_EQ(PaletteSize(palette), 256) << id;
    if (palette) DeleteObject(palette);
    FreeDibBlock(block);
  }
}

TEST(DibHelpers, MissingResourceGivesNull) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  EXPECT_EQ(LoadDibResource(instance, MAKEINTRESOURCEA(4242)), nullptr);
  EXPECT_EQ(LoadDibResource(instance, "IDI_ICON1"), nullptr) << "an icon is not a bitmap";
}

TEST(DibHelpers, SplashImageDrawsBlackAtTopAndBlueAtBottom) {
  DibBlock block = LoadDibResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(12563));
  ASSERT_NE(block, nullptr);
  Surface surface(328 + 10, 213 + 20);
  EXPECT_TRUE(DrawDib(block, surface.dc, 10, 20));
  EXPECT_EQ(GetPixel(surface.dc, 9, 19), kUntouched);
  EXPECT_EQ(GetPixel(surface.dc, 10, 20), RGB(0, 0, 0)) << "top left";
  EXPECT_EQ(GetPixel(surface.dc, 10, 20 + 212), RGB(0, 0, 255)) << "bottom left";
  EXPECT_EQ(GetPixel(surface.dc, 10 + 327, 20 + 212), RGB(0, 0, 255)) << "bottom right";
  FreeDibBlock(block);
}

}  // namespace
}  // namespace pinnafex
