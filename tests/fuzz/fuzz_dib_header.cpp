// Header arithmetic on arbitrary blocks: whatever a header claims, the checks must keep every
// read of the colour table and the pixel rows inside the block (ASan reports any that is not).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "splash/dib_header.h"

using namespace pinnafex;

namespace {

unsigned CheckBlock(const std::uint8_t* data, std::size_t size) {
  DibHeader header;
  if (!ReadDibHeader(data, size, &header)) return 0;
  if (DibAbsHeight(header.height) < 0) __builtin_trap();

  const std::uint32_t count = DibColorCount(header);
  const std::uint64_t offset = DibPixelOffset(header);
  if (offset != kDibHeaderBytes + std::uint64_t{kColorEntryBytes} * count) __builtin_trap();

  unsigned sum = 0;
  if (DibColorTableFits(header, size)) {
    for (std::uint32_t i = 0; i < count; ++i) {
      const PaletteColor color = DibPaletteColor(data + kDibHeaderBytes + kColorEntryBytes * i);
      sum += color.red + color.green + color.blue + color.flags;
    }
  }
  if (DibDrawable(header, size)) {
    if (!DibColorTableFits(header, size)) __builtin_trap();
    // Exact product, wider than any operand, to check the division-based bound.
    const unsigned __int128 rows = static_cast<std::uint64_t>(DibAbsHeight(header.height));
    const unsigned __int128 end = offset + rows * DibRowBytes(header);
    if (rows == 0 || end > size) __builtin_trap();
    sum += data[static_cast<std::size_t>(end) - 1];  // the last byte the platform would read
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  unsigned sum = CheckBlock(data, size);
  // Again with a plain header size, no compression and a usual depth, so that the fuzzer
  // spends its time on width, height and colours-used rather than on finding those.
  if (size >= kDibHeaderBytes) {
    std::vector<std::uint8_t> block(data, data + size);
    constexpr std::uint8_t kDepths[] = {1, 4, 8, 16, 24, 32};
    block[0] = kDibHeaderBytes;
    block[1] = block[2] = block[3] = 0;
    block[14] = kDepths[block[14] % sizeof(kDepths)];
    block[15] = 0;
    block[16] = block[17] = block[18] = block[19] = 0;
    sum += CheckBlock(block.data(), block.size());
  }
  return static_cast<int>(sum & 0);
}
