// Splits arbitrary bytes, unterminated, as 8-bit text or as UTF-16 units, with a line bound
// taken from the input: the bounded split lists the first lines of the whole and counts the rest.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "slots/slot_lines.h"

namespace {

template <typename Unit>
void KeepLine(void* context, const Unit* line) {
  // Every line is terminated within the buffer and holds no dropped unit.
  const std::basic_string<Unit> kept(line);
  if (kept.size() > pinnafex::kMaxLineChars) std::abort();
  for (Unit u : kept) {
    if (static_cast<std::make_unsigned_t<Unit>>(u) < 15) std::abort();
  }
  static_cast<std::vector<std::basic_string<Unit>>*>(context)->push_back(kept);
}

template <typename Unit>
void Check(const std::uint8_t* data, std::size_t size, std::size_t maxLines) {
  std::vector<Unit> text(size / sizeof(Unit));  // exactly sized: no terminator behind it
  if (!text.empty()) std::memcpy(text.data(), data, text.size() * sizeof(Unit));
  std::vector<std::basic_string<Unit>> all, listed;
  const auto whole =
      pinnafex::SplitSlotLines<Unit>(text.data(), text.size(), SIZE_MAX, KeepLine<Unit>, &all);
  const auto cut =
      pinnafex::SplitSlotLines<Unit>(text.data(), text.size(), maxLines, KeepLine<Unit>, &listed);
  if (whole.unlisted != 0 || whole.listed != all.size() || cut.listed != listed.size() ||
      cut.listed != std::min(maxLines, whole.listed) || cut.listed + cut.unlisted != whole.listed ||
      !std::equal(listed.begin(), listed.end(), all.begin())) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  if (data[1] & 1) {
    Check<char16_t>(data + 2, size - 2, data[0]);
  } else {
    Check<char>(data + 2, size - 2, data[0]);
  }
  return 0;
}
