// Whatever a header claims, the checks must keep every read of the colour table and the pixel
// rows inside the block (ASan reports any that is not).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "splash/dib_header.h"

using namespace pinnafex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < 1 + kDibHeaderBytes) return 0;
  // The first byte chooses the depth: a usual one, or the block's own. Header size and
  // compression are set plainly, so the fuzzer spends its time on width, height and colours.
  std::vector<std::uint8_t> data(input + 1, input + size);
  constexpr std::uint8_t kDepths[] = {1, 4, 8, 16, 24, 32};
  for (int i : {1, 2, 3, 16, 17, 18, 19}) data[i] = 0;
  data[0] = kDibHeaderBytes;
  if (input[0] < 6 * 32) data[14] = kDepths[input[0] % 6], data[15] = 0;
  DibHeader header;
  if (!ReadDibHeader(data.data(), data.size(), &header)) __builtin_trap();
  volatile unsigned sum = 0;
  if (DibColorTableFits(header, data.size())) {
    for (std::uint32_t i = 0; i < DibColorCount(header); ++i) {
      sum = sum + DibPaletteColor(&data[kDibHeaderBytes + kColorEntryBytes * i]).red;
    }
  }
  if (DibDrawable(header, data.size())) {
    // The exact end, wider than any operand, checks the division-based bound.
    const unsigned __int128 end =
        DibPixelOffset(header) +
        static_cast<unsigned __int128>(DibAbsHeight(header.height)) * DibRowBytes(header);
    if (!DibColorTableFits(header, data.size()) || end > data.size()) __builtin_trap();
    sum = sum + data[static_cast<std::size_t>(end) - 1];  // the last byte the platform reads
  }
  return 0;
}
