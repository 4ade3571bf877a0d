#include "slots/slot_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace pinnafex {
namespace {

TEST(SlotText, LengthsAndBlockSizesStayInBounds) {
  const char unterminated[] = {'a', 'b', 'c'};
  EXPECT_EQ(BoundedTextLength(unterminated, 3), 3u);
  EXPECT_EQ(BoundedTextLength("ab\0c", 4), 2u);
  EXPECT_EQ(BoundedTextLength(u"abc", 2), 2u);
  EXPECT_EQ(BoundedTextLength(static_cast<const char*>(nullptr), 10), 0u);
  EXPECT_EQ(SlotBlockSize(10), 15u);
  EXPECT_EQ(SlotBlockSize(SIZE_MAX - 5), SIZE_MAX);
  EXPECT_EQ(SlotBlockSize(SIZE_MAX - 4), 0u) << "no size that wraps around";
}

// Narrowing writes the whole text or reports that it cannot, and nothing past the text.
TEST(SlotText, NarrowsThroughAsciiOrTheSingleBytePage) {
  // A page like 1252: 0x80 the euro sign, 0x81 reading as nothing, two bytes for one letter.
  char16_t unitOfByte[256] = {};
  for (int byte = 1; byte < 0x80; ++byte) unitOfByte[byte] = static_cast<char16_t>(byte);
  unitOfByte[0x80] = u'\u20AC';
  unitOfByte[0xA0] = unitOfByte[0xA1] = u'\u00A0';
  unitOfByte[0xFC] = u'\u00FC';
  std::vector<std::int16_t> table(kUnitCount);
  BuildByteTable(unitOfByte, table.data());
  // Text, narrows as ASCII, narrows through the page, bytes.
  const std::tuple<std::u16string, bool, bool, std::string> cases[] = {
      {u"", true, true, ""},
      {std::u16string(37, u'x'), true, true, std::string(37, 'x')},  // chunks and a tail
      {std::u16string(35, u'x') + u"\u00FC", false, true, std::string(35, 'x') + "\xFC"},
      {u"\u0080abcdefghij", false, false, ""},       // the first unit, in a chunk
      {u"abcdefg\u0100", false, false, ""},          // the high byte alone
      {u"\u20AC \u00A0", false, true, "\x80 \xA0"},  // the first of two bytes keeps the letter
      {u"Gr\u00FC\u00DFe", false, false, ""},        // no byte reads as sharp s
      {u"\u0081", false, false, ""},                 // nor as what a byte maps to nothing
      {u"\U0001F31F", false, false, ""},
  };
  for (const auto& [text, ascii, carried, bytes] : cases) {
    std::string narrow(text.size() + 1, '\x7F'), paged(narrow);
    EXPECT_EQ(NarrowAscii(text.data(), text.size(), &narrow[0]), ascii) << bytes;
    EXPECT_EQ(NarrowThroughTable(text.data(), text.size(), table.data(), &paged[0]), carried)
        << bytes;
    if (ascii) EXPECT_EQ(narrow, bytes + '\x7F');
    if (carried) EXPECT_EQ(paged, bytes + '\x7F');
  }
}

TEST(SlotText, HeldNoticeNamesTheProgramsFile) {
  const std::tuple<const char*, std::size_t, const char*> cases[] = {
      {"C:\\Program Files\\KeePass\\KeePass.exe", 64, "Clipboard held by KeePass.exe"},
      {"\\Device\\HarddiskVolume2\\Tools\\x.exe", 64, "Clipboard held by x.exe"},
      {"/usr/bin/wine", 64, "Clipboard held by wine"},
      {"C:notepad.exe", 64, "Clipboard held by notepad.exe"},
      {"", 64, "Clipboard held by another program"},
      {nullptr, 64, "Clipboard held by another program"},
      {"C:\\dir\\", 64, "Clipboard held by another program"},
      {"C:\\KeePass.exe", 8, "Clipboa"},  // cut to its buffer
  };
  for (const auto& [path, size, notice] : cases) {
    char out[64];
    FormatHeldNotice(path, out, size);
    EXPECT_STREQ(out, notice) << (path ? path : "(null)");
  }
}

}  // namespace
}  // namespace pinnafex
