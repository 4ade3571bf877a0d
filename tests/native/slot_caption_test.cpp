#include "slots/slot_caption.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pinnafex {
namespace {

TEST(SlotCaption, NumberAndBlockSize) {
  struct Case {
    int number;
    std::size_t size;
    const char* caption;
  };
  const Case cases[] = {
      {1, 0, "Clip  1     0 Byte"},      {1, 8, "Clip  1     8 Byte"},
      {3, 15, "Clip  3    15 Byte"},     {12, 15, "Clip 12    15 Byte"},
      {1, 1024, "Clip  1  1024 Byte"},   {1, 1025, "Clip  1     1 KB"},
      {1, 2047, "Clip  1     1 KB"},     {1, 2052, "Clip  1     2 KB"},
      {20, 2097157, "Clip 20  2048 KB"}, {9, 10240005, "Clip  9  10000 KB"},
  };
  for (const Case& c : cases) {
    char out[256];
    std::memset(out, 0xcc, sizeof out);
    FormatSlotCaption(c.number, c.size, out, sizeof out);
    EXPECT_STREQ(out, c.caption) << "slot " << c.number << ", " << c.size << " bytes";
  }
}

TEST(SlotCaption, CutToTheBufferAndTerminated) {
  char out[8];
  std::memset(out, 0xcc, sizeof out);
  FormatSlotCaption(1, 0, out, 5);
  EXPECT_STREQ(out, "Clip");
  EXPECT_EQ(static_cast<unsigned char>(out[5]), 0xccu) << "wrote past the given size";

  FormatSlotCaption(1, 0, out, 0);  // no room at all: nothing written
  EXPECT_STREQ(out, "Clip");
  FormatSlotCaption(1, 0, nullptr, 10);
}

}  // namespace
}  // namespace pinnafex
