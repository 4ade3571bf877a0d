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
