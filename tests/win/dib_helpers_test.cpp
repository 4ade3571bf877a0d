// The bitmap helpers through the real graphics API, on blocks built here byte by byte.
#include "splash/dib.h"

#include <gtest/gtest.h>

#include <string>

namespace pinnafex {
namespace {

// A header, then `tail` bytes of 0x40: colour table entries and pixels alike.
std::string Dib(LONG width, LONG height, WORD bits, DWORD used, size_t tail) {
  BITMAPINFOHEADER header = {sizeof header, width, height, 1, bits};
  header.biClrUsed = used;
  return std::string(reinterpret_cast<const char*>(&header), sizeof header) +
         std::string(tail, '\x40');
}

// Whatever a block claims, each helper answers from what it holds, and draws all or nothing.
TEST(DibHelpers, EveryBlockIsReadWithinItself) {
  const struct {
    const char* what;
    std::string bytes;  // "": no block at all
    int bits, width, height, paletteSize;
    bool draws;
  } rows[] = {
      {"no block", "", 0, 0, 0, 0, false},
      {"shorter than a header", Dib(4, 2, 8, 0, 0).substr(0, 39), 0, 0, 0, 0, false},
      {"8-bit", Dib(4, 2, 8, 0, 1024 + 8), 8, 4, 2, 256, true},
      {"4-bit, 12 colours, top-down", Dib(3, -2, 4, 12, 48 + 8), 4, 3, 2, 12, true},
      {"24-bit, no table", Dib(3, 2, 24, 0, 24), 24, 3, 2, 0, true},
      {"rows one byte short", Dib(4, 2, 8, 0, 1024 + 7), 8, 4, 2, 256, false},
      {"colour table one byte short", Dib(4, 2, 8, 0, 1023), 8, 4, 2, 0, false},
      {"colours used 0xFFFFFFFF", Dib(4, 2, 8, 0xFFFFFFFF, 1024 + 8), 8, 4, 2, 0, false},
      {"width past the block", Dib(0x7FFFFFFF, 2, 24, 0, 24), 24, 0x7FFFFFFF, 2, 0, false},
      {"most negative height", Dib(4, -0x7FFFFFFF - 1, 24, 0, 24), 24, 4, 0, 0, false},
  };
  for (const auto& row : rows) {
    DibBlock block = row.bytes.empty() ? nullptr : GlobalAlloc(GMEM_MOVEABLE, row.bytes.size());
    if (block) memcpy(GlobalLock(block), row.bytes.data(), row.bytes.size());
    if (block) GlobalUnlock(block);
    EXPECT_EQ(DibBitCount(block), row.bits) << row.what;
    EXPECT_EQ(DibWidth(block), row.width) << row.what;
    EXPECT_EQ(DibHeight(block), row.height) << row.what;
    HPALETTE palette = CreateDibPalette(block);
    PALETTEENTRY entries[256] = {};
    EXPECT_EQ(palette ? GetPaletteEntries(palette, 0, 256, entries) : 0u, UINT(row.paletteSize))
        << row.what;
    if (row.paletteSize)
      EXPECT_EQ(RGB(entries[11].peRed, entries[11].peGreen, entries[11].peBlue), RGB(64, 64, 64));
    DeleteObject(palette);
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);  // black
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    EXPECT_EQ(DrawDib(block, dc, 0, 0), row.draws) << row.what;
    EXPECT_EQ(GetPixel(dc, 0, 0), row.draws ? RGB(64, 64, 64) : RGB(0, 0, 0)) << row.what;
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    FreeDibBlock(block);
  }
}

}  // namespace
}  // namespace pinnafex
