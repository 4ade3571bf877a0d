// Arbitrary units, unterminated, with a line bound from the input: lines are short and clean,
// the bounded split lists the first lines of the whole and counts the rest, and the plain loops
// split as SSE2 does. 8-bit text is also split as two-byte characters where its first byte says.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "slots/slot_lines.h"

using namespace pinnafex;

template <typename Unit>
void Keep(void* lines, const Unit* line) {
  static_cast<std::vector<std::basic_string<Unit>>*>(lines)->emplace_back(line);
}

template <typename Unit>
void Check(const std::uint8_t* data, std::size_t size, std::size_t maxLines, bool paged) {
  std::vector<Unit> text(size / sizeof(Unit));  // exactly sized: no terminator behind it
  if (!text.empty()) std::memcpy(text.data(), data, text.size() * sizeof(Unit));
  std::uint8_t charBytes[256];
  for (int byte = 0; byte < 256; ++byte) charBytes[byte] = byte >= 0x81 ? 2 : 1;
  const std::uint8_t* widths = paged ? charBytes : nullptr;
  std::vector<std::basic_string<Unit>> all, listed, plain;
  const LineCount whole =
      SplitSlotLines<Unit>(text.data(), text.size(), SIZE_MAX, Keep, &all, widths);
  const LineCount cut =
      SplitSlotLines<Unit>(text.data(), text.size(), maxLines, Keep, &listed, widths);
  UseSse2TextScans(false);
  SplitSlotLines<Unit>(text.data(), text.size(), SIZE_MAX, Keep, &plain, widths);
  UseSse2TextScans(true);
  bool sound = plain == all && whole.unlisted == 0 && whole.listed == all.size() &&
               cut.listed == listed.size() && cut.listed == std::min(maxLines, all.size()) &&
               cut.unlisted == all.size() - cut.listed &&
               std::equal(listed.begin(), listed.end(), all.begin());
  for (const auto& line : all) {
    sound &= line.size() <= kMaxLineChars &&
             std::all_of(line.begin(), line.end(), [](Unit u) { return u < 1 || u > 14; });
  }
  if (!sound) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  (data[1] & 1 ? Check<char16_t> : Check<char>)(data + 2, size - 2, data[0], data[1] & 2);
  return 0;
}
