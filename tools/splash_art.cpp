#include "tools/splash_art.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pinnafex {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
  std::uint8_t red, green, blue;
};

// Palette indices. The five bands shade from black to full blue; the caption that the splash
// draws in black sits on the two brightest.
constexpr int kBandCount = 5;
constexpr Rgb kBandColors[kBandCount] = {{0x00, 0x00, 0x00},
                                         {0x00, 0x00, 0x40},
                                         {0x00, 0x00, 0x80},
                                         {0x00, 0x00, 0xC0},
                                         {0x00, 0x00, 0xFF}};
constexpr std::uint8_t kShadowIndex = 0;  // the black of the top band
constexpr std::uint8_t kLetterIndex = 5;
constexpr Rgb kLetterColors[] = {{0xFF, 0xFF, 0xFF}, {0xFF, 0xE0, 0x60}};  // per SplashArt
constexpr int kPaletteEntries = 256;

// A 5x7 pixel font with just the letters of the name.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
struct Glyph {
  char letter;
  const char* rows[kGlyphHeight];
};
constexpr Glyph kFont[] = {
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'f', {"..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#..."}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
};
constexpr char kName[] = "Pinnafex";

// An image as palette indices, row 0 at the top.
struct Canvas {
  int width;
  int height;
  std::vector<std::uint8_t> pixels;

  Canvas(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), 0) {}
  void Set(int x, int y, std::uint8_t index) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[std::size_t(y) * width + x] = index;
  }
  std::uint8_t At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

const Glyph* FindGlyph(char letter) {
  for (const Glyph& glyph : kFont) {
    if (glyph.letter == letter) return &glyph;
  }
  return nullptr;
}

void PaintBands(Canvas& canvas) {
  for (int y = 0; y < canvas.height; ++y) {
    const auto band = static_cast<std::uint8_t>(y * kBandCount / canvas.height);
    for (int x = 0; x < canvas.width; ++x) canvas.Set(x, y, band);
  }
}

void PaintGlyph(Canvas& canvas, const Glyph& glyph, int left, int top, int scale,
                std::uint8_t index) {
  for (int row = 0; row < kGlyphHeight; ++row) {
    for (int col = 0; col < kGlyphWidth; ++col) {
      if (glyph.rows[row][col] != '#') continue;
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) {
          canvas.Set(left + col * scale + dx, top + row * scale + dy, index);
        }
      }
    }
  }
}

// The name, centred horizontally with its top at `top`, over a shadow `shadow` pixels down
// and to the right.
void PaintName(Canvas& canvas, int top, int scale, int shadow) {
  constexpr int kLetters = sizeof(kName) - 1;
  const int advance = (kGlyphWidth + 1) * scale;
  const int textWidth = kLetters * advance - scale;
  const int left = (canvas.width - textWidth) / 2;
  for (int pass = 0; pass < 2; ++pass) {
    const int offset = pass == 0 ? shadow : 0;
    const std::uint8_t index = pass == 0 ? kShadowIndex : kLetterIndex;
    for (int i = 0; i < kLetters; ++i) {
      if (const Glyph* glyph = FindGlyph(kName[i])) {
        PaintGlyph(canvas, *glyph, left + i * advance + offset, top + offset, scale, index);
      }
    }
  }
}

void PutU16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

// BITMAPINFOHEADER, 8 bits, uncompressed or run-length encoded, colours-used 0 (a full
// 256-entry table).
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
void PutInfoHeader(Bytes& out, int width, int height, std::uint32_t imageBytes,
                   std::uint32_t compression = kRgb) {
  PutU32(out, 40);
  PutU32(out, static_cast<std::uint32_t>(width));
  PutU32(out, static_cast<std::uint32_t>(height));
  PutU16(out, 1);  // planes
  PutU16(out, 8);  // bits per pixel
  PutU32(out, compression);
  PutU32(out, imageBytes);
  PutU32(out, 0);  // pixels per metre, x and y: unstated
  PutU32(out, 0);
  PutU32(out, 0);  // colours used
  PutU32(out, 0);  // colours important
}

void PutColorTable(Bytes& out, const Rgb& letter) {
  for (int i = 0; i < kPaletteEntries; ++i) {
    Rgb color{0, 0, 0};
    if (i < kBandCount) color = kBandColors[i];
    if (i == kLetterIndex) color = letter;
    out.push_back(color.blue);
    out.push_back(color.green);
    out.push_back(color.red);
    out.push_back(0);
  }
}

std::size_t RowBytes8(int width) {
  return (std::size_t(width) + 3) / 4 * 4;
}

// Rows bottom-up, each padded to 4 bytes.
void PutPixelRows(Bytes& out, const Canvas& canvas) {
  const std::size_t padding = RowBytes8(canvas.width) - std::size_t(canvas.width);
  for (int y = canvas.height - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.width; ++x) out.push_back(canvas.At(x, y));
    out.insert(out.end(), padding, 0);
  }
}

// Rows bottom-up as runs of one index (BI_RLE8's encoded mode): the bands and the letters are
// long runs, so the splash takes a twentieth of its uncompressed size in the exe.
Bytes EncodedRows(const Canvas& canvas) {
  constexpr std::uint8_t kEndOfLine[] = {0, 0};
  constexpr std::uint8_t kEndOfBitmap[] = {0, 1};
  Bytes out;
  for (int y = canvas.height - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.width;) {
      const std::uint8_t index = canvas.At(x, y);
      int run = 1;
      while (x + run < canvas.width && run < 255 && canvas.At(x + run, y) == index) ++run;
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(index);
      x += run;
    }
    const std::uint8_t* end = y > 0 ? kEndOfLine : kEndOfBitmap;
    out.insert(out.end(), end, end + 2);
  }
  return out;
}

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoAndTableBytes = 40 + 4 * kPaletteEntries;

}  // namespace

std::vector<std::uint8_t> SplashBitmapFile(SplashArt which) {
  Canvas canvas(kSplashArtWidth, kSplashArtHeight);
  PaintBands(canvas);
  // The variant sits a little lower with a deeper shadow.
  const bool main = which == SplashArt::Main;
  PaintName(canvas, main ? 36 : 44, 6, main ? 3 : 4);

  const Bytes rows = EncodedRows(canvas);
  const auto imageBytes = static_cast<std::uint32_t>(rows.size());
  const auto pixelOffset = static_cast<std::uint32_t>(kFileHeaderBytes + kInfoAndTableBytes);
  Bytes out;
  out.reserve(pixelOffset + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, pixelOffset + imageBytes);
  PutU32(out, 0);  // reserved
  PutU32(out, pixelOffset);
  PutInfoHeader(out, canvas.width, canvas.height, imageBytes, kRle8);
  PutColorTable(out, kLetterColors[main ? 0 : 1]);
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

std::vector<std::uint8_t> IconFile() {
  constexpr int kSize = kIconArtSize;
  constexpr int kCorner = 5;  // radius of the rounded corners, which stay transparent
  Canvas canvas(kSize, kSize);
  PaintBands(canvas);
  const Glyph* p = FindGlyph('P');
  PaintGlyph(canvas, *p, 7, 3, 4, kShadowIndex);
  PaintGlyph(canvas, *p, 6, 2, 4, kLetterIndex);

  // The AND mask: 1 where the icon is transparent, rows bottom-up, 32 bits each.
  std::array<bool, kSize * kSize> transparent{};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const int cx = x < kCorner               ? kCorner - x
                     : x > kSize - 1 - kCorner ? x - (kSize - 1 - kCorner)
                                               : 0;
      const int cy = y < kCorner               ? kCorner - y
                     : y > kSize - 1 - kCorner ? y - (kSize - 1 - kCorner)
                                               : 0;
      if (cx * cx + cy * cy > kCorner * kCorner) {
        transparent[std::size_t(y) * kSize + x] = true;
        canvas.Set(x, y, 0);  // a transparent pixel's colour must be black
      }
    }
  }
  constexpr std::size_t kMaskRowBytes = kSize / 8;
  constexpr std::size_t kImageBytes = kInfoAndTableBytes + kSize * kSize + kMaskRowBytes * kSize;
  constexpr std::size_t kDirectoryBytes = 6 + 16;

  Bytes out;
  out.reserve(kDirectoryBytes + kImageBytes);
  PutU16(out, 0);  // ICONDIR: reserved, type icon, one image
  PutU16(out, 1);
  PutU16(out, 1);
  out.push_back(kSize);  // ICONDIRENTRY: width, height, colours (0 means 256), reserved
  out.push_back(kSize);
  out.push_back(0);
  out.push_back(0);
  PutU16(out, 1);  // planes
  PutU16(out, 8);  // bits per pixel
  PutU32(out, kImageBytes);
  PutU32(out, kDirectoryBytes);
  // An icon image's header counts the colour rows and the mask rows together.
  PutInfoHeader(out, kSize, 2 * kSize,
                static_cast<std::uint32_t>(kSize * kSize + kMaskRowBytes * kSize));
  PutColorTable(out, kLetterColors[0]);
  PutPixelRows(out, canvas);
  for (int y = kSize - 1; y >= 0; --y) {
    for (std::size_t byte = 0; byte < kMaskRowBytes; ++byte) {
      std::uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (transparent[std::size_t(y) * kSize + byte * 8 + bit]) bits |= 0x80 >> bit;
      }
      out.push_back(bits);
    }
  }
  return out;
}

}  // namespace pinnafex
