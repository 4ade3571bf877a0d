#include "slots/slot_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
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
  EXPECT_EQ(BoundedTextLength(static_cast<const char*>(nullptr), 10), 0u);
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

TEST(SlotText, AsciiNarrowsWholeOrNotAtAll) {
  struct Case {
    std::u16string text;
    bool ascii;
  };
  const Case cases[] = {
      {u"", true},
      {u"plain text\r\n\t~", true},
      {std::u16string(37, u'x'), true},               // chunks and a tail
      {std::u16string(35, u'x') + u"\u00FC", false},  // the last unit, in the tail
      {u"\u0080abcdefghij", false},                   // the first unit, in a chunk
      {u"abcdefg\u0100", false},                      // the high byte alone
  };
  for (const Case& c : cases) {
    std::vector<char> out(c.text.size() + 1, '\x7F');
    EXPECT_EQ(NarrowAscii(c.text.data(), c.text.size(), out.data()), c.ascii)
        << c.text.size() << " units";
    if (c.ascii) {
      EXPECT_EQ(std::string(out.data(), c.text.size()), std::string(c.text.begin(), c.text.end()));
      EXPECT_EQ(out[c.text.size()], '\x7F') << "written past the text";
    }
  }
  const char16_t unterminated[] = {u'a', u'b', u'c'};
  EXPECT_EQ(BoundedTextLength(unterminated, 3), 3u);
  EXPECT_EQ(BoundedTextLength(u"ab\0c", 4), 2u);
}

TEST(SlotText, SingleBytePageCarriesOnlyItsOwnLetters) {
  // A page like 1252: ASCII as itself, 0x80 the euro sign, 0x81 reading as nothing, and two
  // bytes reading as the same letter.
  char16_t unitOfByte[256] = {};
  for (int byte = 1; byte < 0x80; ++byte) unitOfByte[byte] = static_cast<char16_t>(byte);
  unitOfByte[0x80] = u'\u20AC';
  unitOfByte[0xA0] = u'\u00A0';
  unitOfByte[0xA1] = u'\u00A0';
  unitOfByte[0xFC] = u'\u00FC';
  std::vector<std::int16_t> table(kUnitCount);
  BuildByteTable(unitOfByte, table.data());
  struct Case {
    std::u16string text;
    bool carried;
    std::string bytes;
  };
  const Case cases[] = {
      {u"Gr\u00FC\u00DFe", false, ""},  // no byte reads as sharp s
      {u"\u20AC 5 \u00FC", true, "\x80 5 \xFC"},
      {u"\u00A0", true, "\xA0"},  // the first of two bytes keeps the letter
      {u"\u0081", false, ""},     // a byte that reads as nothing carries nothing
      {u"\U0001F31F", false, ""},
      {u"", true, ""},
  };
  for (const Case& c : cases) {
    std::string out(c.text.size(), '\0');
    EXPECT_EQ(NarrowThroughTable(c.text.data(), c.text.size(), table.data(), &out[0]), c.carried)
        << c.text.size() << " units";
    if (c.carried) EXPECT_EQ(out, c.bytes);
  }
}

TEST(SlotText, HeldNoticeNamesTheProgramsFile) {
  struct Case {
    const char* path;
    const char* notice;
  };
  const Case cases[] = {
      {"C:\\Program Files\\KeePass\\KeePass.exe", "Clipboard held by KeePass.exe"},
      {"\\Device\\HarddiskVolume2\\Tools\\x.exe", "Clipboard held by x.exe"},
      {"/usr/bin/wine", "Clipboard held by wine"},
      {"C:notepad.exe", "Clipboard held by notepad.exe"},
      {"", "Clipboard held by another program"},
      {nullptr, "Clipboard held by another program"},
      {"C:\\dir\\", "Clipboard held by another program"},
  };
  for (const Case& c : cases) {
    char out[64];
    FormatHeldNotice(c.path, out, sizeof out);
    EXPECT_STREQ(out, c.notice) << (c.path ? c.path : "(null)");
  }
  char tiny[8];
  FormatHeldNotice("C:\\KeePass.exe", tiny, sizeof tiny);
  EXPECT_STREQ(tiny, "Clipboa") << "cut to its buffer";
}

}  // namespace
}  // namespace pinnafex
