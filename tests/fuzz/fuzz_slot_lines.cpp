// Splits arbitrary bytes, unterminated, with a line limit taken from the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "slots/slot_lines.h"

namespace {

void CheckLine(void*, const char* line) {
  // Every line is terminated within the buffer and holds no dropped byte.
  const std::size_t length = std::strlen(line);
  if (length > pinnafex::kMaxLineChars) std::abort();
  for (std::size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(line[i]) < 15) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t maxLines = data[0];
  std::vector<char> text(data + 1, data + size);  // exactly sized: no terminator behind it
  const std::size_t count =
      pinnafex::SplitSlotLines(text.data(), text.size(), maxLines, CheckLine, nullptr);
  if (count > maxLines) std::abort();
  return 0;
}
