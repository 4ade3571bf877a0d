#include "splash/dib.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "splash/dib_header.h"

namespace pinnafex {
namespace {

// A block locked for one read; its allocated size bounds every read.
struct LockedDib {
  DibBlock block;
  const std::uint8_t* bytes;
  SIZE_T size;
  DibHeader header;
  bool hasHeader;

  explicit LockedDib(DibBlock b)
      : block(b),
        bytes(b ? static_cast<const std::uint8_t*>(GlobalLock(b)) : nullptr),
        size(bytes ? GlobalSize(b) : 0),
        header(),
        hasHeader(ReadDibHeader(bytes, size, &header)) {}
  ~LockedDib() {
    if (bytes) GlobalUnlock(block);
  }
  LockedDib(const LockedDib&) = delete;
  LockedDib& operator=(const LockedDib&) = delete;
};

// LOGPALETTE's entry count is 16 bits wide.
constexpr DWORD kMaxPaletteEntries = 0xFFFF;
constexpr WORD kPaletteVersion = 0x300;

}  // namespace

DibBlock LoadDibResource(HINSTANCE instance, LPCSTR name) {
  HRSRC resource = FindResourceA(instance, name, MAKEINTRESOURCEA(2));  // RT_BITMAP
  if (!resource) return nullptr;
  const DWORD size = SizeofResource(instance, resource);
  DibBlock block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  HGLOBAL loaded = LoadResource(instance, resource);
  const void* source = loaded ? LockResource(loaded) : nullptr;
  void* target = GlobalLock(block);
  if (!source || !target) {
    if (target) GlobalUnlock(block);
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(target, source, size);
  GlobalUnlock(block);
  return block;
}

DibBlock CopyDibBlock(DibBlock block) {
  if (!block) return nullptr;
  const SIZE_T size = GlobalSize(block);
  DibBlock copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  const void* source = GlobalLock(block);
  void* target = GlobalLock(copy);
  if (source && target) std::memcpy(target, source, size);
  if (source) GlobalUnlock(block);
  if (target) GlobalUnlock(copy);
  if (!source || !target) {
    GlobalFree(copy);
    return nullptr;
  }
  return copy;
}

void FreeDibBlock(DibBlock block) {
  if (block) GlobalFree(block);
}

int DibBitCount(DibBlock block) {
  LockedDib dib(block);
  return dib.hasHeader ? dib.header.bitCount : 0;
}

int DibWidth(DibBlock block) {
  LockedDib dib(block);
  return dib.hasHeader ? dib.header.width : 0;
}

int DibHeight(DibBlock block) {
  LockedDib dib(block);
  return dib.hasHeader ? DibAbsHeight(dib.header.height) : 0;
}

DWORD DibColorCount(const BITMAPINFOHEADER* header) {
  DibHeader fields;
  if (!ReadDibHeader(reinterpret_cast<const std::uint8_t*>(header), kDibHeaderBytes, &fields)) {
    return 0;
  }
  return DibColorCount(fields);
}

HPALETTE CreatePaletteFromInfo(const BITMAPINFOHEADER* header, SIZE_T blockSize) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(header);
  DibHeader fields;
  if (!ReadDibHeader(bytes, blockSize, &fields) || !DibColorTableFits(fields, blockSize)) {
    return nullptr;
  }
  const DWORD count = DibColorCount(fields);
  if (count == 0 || count > kMaxPaletteEntries) return nullptr;
  const SIZE_T paletteBytes = offsetof(LOGPALETTE, palPalEntry) + count * sizeof(PALETTEENTRY);
  auto* palette = static_cast<LOGPALETTE*>(GlobalAlloc(GPTR, paletteBytes));
  if (!palette) return nullptr;
  palette->palVersion = kPaletteVersion;
  palette->palNumEntries = static_cast<WORD>(count);
  PALETTEENTRY* entries = palette->palPalEntry;
  const std::uint8_t* table = bytes + kDibHeaderBytes;
  for (DWORD i = 0; i < count; ++i) {
    const PaletteColor color = DibPaletteColor(table + kColorEntryBytes * i);
    entries[i].peRed = color.red;
    entries[i].peGreen = color.green;
    entries[i].peBlue = color.blue;
    entries[i].peFlags = color.flags;
  }
  HPALETTE result = CreatePalette(palette);
  GlobalFree(palette);
  return result;
}

HPALETTE CreateDibPalette(DibBlock block) {
  LockedDib dib(block);
  if (!dib.hasHeader) return nullptr;
  return CreatePaletteFromInfo(reinterpret_cast<const BITMAPINFOHEADER*>(dib.bytes), dib.size);
}

bool DrawDib(DibBlock block, HDC dc, int x, int y) {
  LockedDib dib(block);
  if (!dib.hasHeader || !DibDrawable(dib.header, dib.size)) return false;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.bytes);
  const void* rows = dib.bytes + DibPixelOffset(dib.header);
  const DWORD width = static_cast<DWORD>(dib.header.width);
  const DWORD height = static_cast<DWORD>(DibAbsHeight(dib.header.height));
  // Encoded rows are taken whole by the stretching call, at the image's own size.
  if (dib.header.compression == kDibRle8) {
    return StretchDIBits(dc, x, y, static_cast<int>(width), static_cast<int>(height), 0, 0,
                         static_cast<int>(width), static_cast<int>(height), rows, info,
                         DIB_RGB_COLORS, SRCCOPY) > 0;
  }
  // A top-down image (negative height) is drawn upright by the platform from the same
  // arguments: scan line 0 is then its top row.
  const int lines =
      SetDIBitsToDevice(dc, x, y, width, height, 0, 0, 0, height, rows, info, DIB_RGB_COLORS);
  return lines != -1;
}

}  // namespace pinnafex
