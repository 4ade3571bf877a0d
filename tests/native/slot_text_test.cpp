#include "slots/slot_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pinnafex {
namespace {

TEST(SlotText, LengthEndsAtZeroOrLimit) {
  struct Case {
    const char* what;
    std::vector<char> block;
    std::size_t limit;
    std::size_t length;
  };
  const Case cases[] = {
      {"terminated", {'a', 'b', 'c', 0, 'x'}, 5, 3},
      {"no terminator in the block", {'a', 'b', 'c', 'd'}, 4, 4},
      {"limit before the terminator", {'a', 'b', 'c', 0}, 2, 2},
      {"empty text", {0, 'a'}, 2, 0},
      {"zero limit", {'a'}, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BoundedTextLength(c.block.data(), c.limit), c.length) << c.what;
  }
  EXPECT_EQ(BoundedTextLength(nullptr, 10), 0u);
}

TEST(SlotText, BlockIsTextPlusFiveOrNothing) {
  struct Case {
    std::size_t length;
    std::size_t block;
  };
  const Case cases[] = {
      {0, 5}, {10, 15}, {SIZE_MAX - 5, SIZE_MAX}, {SIZE_MAX - 4, 0}, {SIZE_MAX, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SlotBlockSize(c.length), c.block) << "text of " << c.length << " bytes";
  }
}

}  // namespace
}  // namespace pinnafex
