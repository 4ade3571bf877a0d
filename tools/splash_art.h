// The program's artwork, drawn by code so that it can be made again byte for byte:
// the two splash bitmaps (as .bmp files) and the icon (as an .ico file).
#pragma once
#include <cstdint>
#include <vector>

namespace pinnafex {

constexpr int kSplashArtWidth = 328;
constexpr int kSplashArtHeight = 213;
constexpr int kIconArtSize = 32;

enum class SplashArt { Main, Variant };  // resources 12563 and 12633

// A complete .bmp file: 14-byte file header, then the packed bitmap a resource holds
// (8 bits, 256-entry colour table, bottom-up rows).
std::vector<std::uint8_t> SplashBitmapFile(SplashArt which);

// A complete .ico file holding one 32x32 image with 8 bits per pixel.
std::vector<std::uint8_t> IconFile();

}  // namespace pinnafex
