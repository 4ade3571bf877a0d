// The committed artwork in res/: its byte layout, its bands, and that the generator makes it.
#include "tools/splash_art.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace pinnafex {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ResFolder() {
  std::string path = __FILE__;  // <repo>/tests/native/art_files_test.cpp
  for (int up = 0; up < 3; ++up) path.erase(path.find_last_of("/\\"));
  return path + "/res/";
}

Bytes ReadFile(const char* name) {
  std::ifstream file(ResFolder() + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}
unsigned U16(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8;
}

struct Color {
  unsigned red, green, blue;
  bool operator<(const Color& o) const {
    return blue != o.blue ? blue < o.blue : green != o.green ? green < o.green : red < o.red;
  }
  bool operator==(const Color& o) const {
    return red == o.red && green == o.green && blue == o.blue;
  }
};

// The splash bitmap as a resource stores it: the .bmp file less its 14-byte file header.
constexpr std::size_t kFileHeader = 14;
constexpr int kWidth = 328;
constexpr int kHeight = 213;
constexpr std::size_t kRowsAt = kFileHeader + 40 + 1024;

// Colour of pixel (x, y), y counted from the top of the picture; rows are stored bottom-up.
Color PixelColor(const Bytes& bmp, int x, int y) {
  const std::size_t index = bmp[kRowsAt + std::size_t(kHeight - 1 - y) * kWidth + x];
  const std::size_t entry = kFileHeader + 40 + 4 * index;
  return Color{bmp[entry + 2], bmp[entry + 1], bmp[entry]};
}

const char* const kBitmapFiles[] = {"splash.bmp", "splash2.bmp"};

TEST(ArtFiles, CommittedFilesAreWhatTheGeneratorMakes) {
  const struct {
    const char* name;
    Bytes generated;
  } rows[] = {
      {"splash.bmp", SplashBitmapFile(SplashArt::Main)},
      {"splash2.bmp", SplashBitmapFile(SplashArt::Variant)},
      {"pinnafex.ico", IconFile()},
  };
  for (const auto& row : rows) {
    const Bytes committed = ReadFile(row.name);
    EXPECT_EQ(committed.size(), row.generated.size()) << row.name;
    EXPECT_TRUE(committed == row.generated)
        << row.name << " differs from the generator's output: run pinnafex_gen_art res";
  }
}

TEST(ArtFiles, SplashBitmapsHaveTheResourceLayout) {
  for (const char* name : kBitmapFiles) {
    const Bytes bmp = ReadFile(name);
    ASSERT_EQ(bmp.size(), kFileHeader + 70928) << name;
    EXPECT_EQ(bmp[0], 'B') << name;
    EXPECT_EQ(bmp[1], 'M') << name;
    EXPECT_EQ(U32(bmp, 2), 70942u) << name << " file size field";
    EXPECT_EQ(U32(bmp, 10), kRowsAt) << name << " pixel offset field";
    const std::size_t h = kFileHeader;
    EXPECT_EQ(U32(bmp, h + 0), 40u) << name << " header size";
    EXPECT_EQ(static_cast<std::int32_t>(U32(bmp, h + 4)), 328) << name << " width";
    EXPECT_EQ(static_cast<std::int32_t>(U32(bmp, h + 8)), 213) << name << " height (bottom-up)";
    EXPECT_EQ(U16(bmp, h + 12), 1u) << name << " planes";
    EXPECT_EQ(U16(bmp, h + 14), 8u) << name << " bits per pixel";
    EXPECT_EQ(U32(bmp, h + 16), 0u) << name << " compression (BI_RGB)";
    EXPECT_EQ(U32(bmp, h + 32), 0u) << name << " colours used";
    EXPECT_EQ(bmp.size() - kRowsAt, 69864u) << name << " 213 rows of 328 bytes";
  }
}

TEST(ArtFiles, FiveBandsFromBlackToFullBlue) {
  for (const char* name : kBitmapFiles) {
    const Bytes bmp = ReadFile(name);
    ASSERT_EQ(bmp.size(), kFileHeader + 70928) << name;
    // The middle of each fifth of the picture, at both side margins, clear of the lettering.
    std::vector<Color> bands;
    for (int band = 0; band < 5; ++band) {
      const int y = band * kHeight / 5 + kHeight / 10;
      const Color left = PixelColor(bmp, 0, y);
      const Color right = PixelColor(bmp, kWidth - 1, y);
      EXPECT_TRUE(left == right) << name << " row " << y;
      EXPECT_EQ(left.red, 0u) << name << " row " << y;
      EXPECT_EQ(left.green, 0u) << name << " row " << y;
      if (!bands.empty()) {
        EXPECT_GT(left.blue, bands.back().blue) << name << " row " << y << " not brighter";
      }
      bands.push_back(left);
    }
    EXPECT_EQ(bands.front().blue, 0u) << name << " top band is black";
    EXPECT_EQ(bands.back().blue, 255u) << name << " bottom band is full blue";

    // Where the caption goes, only the two brightest blues.
    const std::set<Color> brightest = {bands[3], bands[4]};
    int others = 0;
    for (int y = kHeight - 40; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) others += brightest.count(PixelColor(bmp, x, y)) == 0;
    }
    EXPECT_EQ(others, 0) << name << " pixels in the bottom 40 rows outside the two brightest blues";
  }
}

TEST(ArtFiles, NameIsLetteredOverTheBands) {
  for (const char* name : kBitmapFiles) {
    const Bytes bmp = ReadFile(name);
    ASSERT_EQ(bmp.size(), kFileHeader + 70928) << name;
    // Lettering: pixels whose colour differs from their row's margin, in the upper part only.
    int upper = 0;
    for (int y = 0; y < kHeight - 40; ++y) {
      const Color margin = PixelColor(bmp, 0, y);
      for (int x = 0; x < kWidth; ++x) upper += !(PixelColor(bmp, x, y) == margin);
    }
    EXPECT_GT(upper, 2000) << name;
    EXPECT_LT(upper, kWidth * (kHeight - 40) / 2) << name;
  }
  EXPECT_FALSE(ReadFile("splash.bmp") == ReadFile("splash2.bmp")) << "the second is a variant";
}

TEST(ArtFiles, IconHoldsOne32By32ImageOf8Bits) {
  const Bytes ico = ReadFile("pinnafex.ico");
  constexpr std::size_t kImage = 40 + 1024 + 32 * 32 + 32 * 4;  // header, table, colours, mask
  ASSERT_EQ(ico.size(), 6 + 16 + kImage);
  EXPECT_EQ(U16(ico, 0), 0u) << "reserved";
  EXPECT_EQ(U16(ico, 2), 1u) << "type: icon";
  EXPECT_EQ(U16(ico, 4), 1u) << "images";
  EXPECT_EQ(ico[6], 32) << "width";
  EXPECT_EQ(ico[7], 32) << "height";
  EXPECT_EQ(ico[8], 0) << "colour count (0: 256)";
  EXPECT_EQ(U16(ico, 10), 1u) << "planes";
  EXPECT_EQ(U16(ico, 12), 8u) << "bits per pixel";
  EXPECT_EQ(U32(ico, 14), kImage) << "image bytes";
  EXPECT_EQ(U32(ico, 18), 22u) << "image offset";
  EXPECT_EQ(U32(ico, 22), 40u) << "header size";
  EXPECT_EQ(U32(ico, 26), 32u) << "width";
  EXPECT_EQ(U32(ico, 30), 64u) << "height: colour rows and mask rows";
  EXPECT_EQ(U16(ico, 36), 8u) << "bits per pixel";
  EXPECT_EQ(U32(ico, 38), 0u) << "compression";
  // Its middle is opaque and its corner transparent.
  const std::size_t mask = 22 + 40 + 1024 + 32 * 32;
  const auto maskBit = [&](int x, int y) {
    return (ico[mask + std::size_t(31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
  };
  EXPECT_EQ(maskBit(16, 16), 0);
  EXPECT_EQ(maskBit(0, 0), 1);
  EXPECT_EQ(maskBit(31, 31), 1);
}

}  // namespace
}  // namespace pinnafex
