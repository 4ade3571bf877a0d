// Whatever a header claims, a colour table or pixel rows passed as fitting lie inside the block.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "splash/dib_header.h"

using namespace pinnafex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < 1 + kDibHeaderBytes) return 0;
  // The first byte steers: a usual depth unless it is 0xFF, and small sizes when it is even.
  // Header size and compression are plain, so the fuzzer's time goes to sizes and colours.
  std::vector<std::uint8_t> data(input + 1, input + size);
  constexpr std::uint8_t kDepths[] = {1, 4, 8, 16, 24, 32};
  for (int i : {1, 2, 3, 15, 16, 17, 18, 19}) data[i] = 0;
  data[0] = kDibHeaderBytes;
  if (input[0] != 0xFF) data[14] = kDepths[input[0] / 2 % 6];
  if (input[0] % 2 == 0) {  // width up to 255, height -128..127
    for (int i : {5, 6, 7}) data[i] = 0;
    for (int i : {9, 10, 11}) data[i] = data[8] & 0x80 ? 0xFF : 0;
  }
  DibHeader header;
  if (!ReadDibHeader(data.data(), data.size(), &header)) __builtin_trap();
  const bool tableFits = DibColorTableFits(header, data.size());
  if (tableFits && DibPixelOffset(header) > data.size()) __builtin_trap();
  if (DibDrawable(header, data.size())) {
    // The exact end, wider than any operand, checks the division-based bound.
    const unsigned __int128 end =
        DibPixelOffset(header) +
        static_cast<unsigned __int128>(DibAbsHeight(header.height)) * DibRowBytes(header);
    if (!tableFits || end > data.size()) __builtin_trap();
  }
  return 0;
}
