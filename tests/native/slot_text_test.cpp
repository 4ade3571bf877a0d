#include "slots/slot_lines.h"
#include "slots/slot_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace pinnafex {
namespace {

using Lines = std::vector<std::string>;

template <typename Unit>
void Collect(void* context, const Unit* line) {
  static_cast<std::vector<std::basic_string<Unit>>*>(context)->push_back(line);
}

// Splits an exactly sized copy with no terminator behind it: ASan reports any read past it.
template <typename Unit>
std::vector<std::basic_string<Unit>> Split(const std::basic_string<Unit>& text,
                                           std::size_t maxLines = SIZE_MAX,
                                           std::size_t* unlisted = nullptr,
                                           const std::uint8_t* charBytes = nullptr) {
  const std::vector<Unit> block(text.begin(), text.end());
  std::vector<std::basic_string<Unit>> lines;
  const LineCount count =
      SplitSlotLines<Unit>(block.data(), block.size(), maxLines, Collect<Unit>, &lines, charBytes);
  EXPECT_EQ(count.listed, lines.size());
  if (unlisted) *unlisted = count.unlisted;
  return lines;
}

// The same bytes as UTF-16 units: both kinds of text follow the same rules on them.
std::u16string Widened(const std::string& s) {
  return std::u16string(reinterpret_cast<const unsigned char*>(s.data()),
                        reinterpret_cast<const unsigned char*>(s.data()) + s.size());
}

// a..z repeated, so a cut shows which end was kept.
std::string Letters(std::size_t count) {
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s += static_cast<char>('a' + i % 26);
  return s;
}

void ExpectBothKinds(const std::string& text, const Lines& lines, std::size_t maxLines = SIZE_MAX,
                     std::size_t unlisted = 0) {
  std::vector<std::u16string> wide;
  for (const std::string& line : lines) wide.push_back(Widened(line));
  std::size_t narrowUnlisted = 0, wideUnlisted = 0;
  EXPECT_EQ(Split(text, maxLines, &narrowUnlisted), lines) << text.substr(0, 40);
  EXPECT_EQ(Split(Widened(text), maxLines, &wideUnlisted), wide) << text.substr(0, 40);
  EXPECT_EQ(std::make_pair(narrowUnlisted, wideUnlisted), std::make_pair(unlisted, unlisted));
}

TEST(SlotLines, SplitsAndBoundsBothKindsOfTextNeverInsideACharacter) {
  const std::tuple<std::string, Lines, std::size_t, std::size_t> cases[] = {
      {"Hello\r\nWorld\r\n", {"Hello", "World", ""}, SIZE_MAX, 0},  // only CR ends a line
      {"Hello\nWo\trld", {"HelloWorld"}, SIZE_MAX, 0},
      {"\t \r\n  x", {"x"}, SIZE_MAX, 0},           // the head skip passes blanks and line ends
      {"a\r\r  b", {"a", "", "  b"}, SIZE_MAX, 0},  // later lines keep their blanks
      {"\t\r\n \x01 \x1f", {}, SIZE_MAX, 0},
      {"\xE9t\x0E\x0F\x7F\x80\xFF", {"\xE9t\x0F\x7F\x80\xFF"}, SIZE_MAX, 0},  // 1..14 dropped
      {"ab\r" + Letters(300) + "\rz", {"ab", Letters(250), "z"}, SIZE_MAX, 0},
      {std::string("a\rb\0c\rd", 7), {"a"}, 1, 1},  // the text ends at its first zero
      {Letters(1 << 20) + "\r\nnext", {Letters(250)}, 1, 1},
  };
  for (const auto& [text, lines, maxLines, unlisted] : cases)
    ExpectBothKinds(text, lines, maxLines, unlisted);
  // Lines are never cut inside a character.
  const std::u16string pair = u"\U0001F600", head = Widened(Letters(249));
  const std::pair<std::u16string, std::vector<std::u16string>> wide[] = {
      {u"\x4E2D" + pair + u"\r\nz", {u"\x4E2D" + pair, u"z"}},
      {head + pair + u"\rz", {head, u"z"}},  // the pair would end past 250: cut before it
      {head.substr(1) + pair + u"x", {head.substr(1) + pair}},
      {head + u"\xD800x", {head + u"\xD800"}},  // a lone half is only a unit
  };
  for (const auto& [text, lines] : wide) EXPECT_EQ(Split(text), lines) << text.size();
  // Lead bytes as in code page 932, where a trail byte may be one too.
  std::uint8_t charBytes[256];
  for (int byte = 0; byte < 256; ++byte)
    charBytes[byte] = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC) ? 2 : 1;
  std::string pairs;
  for (int i = 0; i < 130; ++i) pairs += "\x81\x81";
  const std::pair<std::string, Lines> paged[] = {
      {Letters(249) + "\x82\xA0\rz", {Letters(249), "z"}},
      {Letters(248) + "\x82\xA0x", {Letters(248) + "\x82\xA0"}},
      {pairs, {pairs.substr(0, 250)}},
      {"a" + pairs, {"a" + pairs.substr(0, 248)}},
  };
  for (const auto& [text, lines] : paged)
    EXPECT_EQ(Split(text, SIZE_MAX, nullptr, charBytes), lines) << text.size();
}

// The scan that looks at many units at once must find each kind of unit at every offset, and
// the plain loops chosen where the processor has no SSE2 must agree with it.
TEST(SlotLines, FindsEachKindOfUnitAtEveryOffsetOfALongRun) {
  for (const bool sse2 : {true, false}) {
    UseSse2TextScans(sse2);
    for (std::size_t at = 0; at < 40; ++at) {
      const std::string head = Letters(at), tail = Letters(40);
      const Lines headOnly = at ? Lines{head} : Lines{};
      ExpectBothKinds(head + "\t" + tail, {head + tail});
      ExpectBothKinds(head + "\r" + tail, at ? Lines{head, tail} : Lines{tail});
      ExpectBothKinds(head + "\xE4\x80" + tail, {head + "\xE4\x80" + tail});
      ExpectBothKinds(Letters(250 + at) + "\rz", {Letters(250), "z"});
      ExpectBothKinds(std::string(at + 20, '\n') + head + std::string(at, '\t'), headOnly);
      ExpectBothKinds(head + std::string(1, '\0') + tail, headOnly);
    }
  }
  UseSse2TextScans(true);
}

// Lengths stop at the block's end; narrowing writes the whole text or reports that it cannot,
// and nothing past the text.
TEST(SlotText, LengthsNarrowingAndTheHeldNoticeStayInBounds) {
  EXPECT_EQ(BoundedTextLength("abc", 2), 2u);
  EXPECT_EQ(BoundedTextLength(u"ab\0c", 4), 2u);
  EXPECT_EQ(BoundedTextLength(static_cast<const char*>(nullptr), 10), 0u);
  EXPECT_EQ(SlotBlockSize(SIZE_MAX - 5), SIZE_MAX);
  EXPECT_EQ(SlotBlockSize(SIZE_MAX - 4), 0u) << "no size that wraps around";
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
      {std::u16string(37, u'x'), true, true, std::string(37, 'x')},  // chunks and a tail
      {std::u16string(35, u'x') + u"\u00FC", false, true, std::string(35, 'x') + "\xFC"},
      {u"\u0080abcdefghij", false, false, ""},                   // the first unit, in a chunk
      {u"\u8A9E" + std::u16string(20, u'x'), false, false, ""},  // a unit that reads as negative
      {u"abcdefg\u0100", false, false, ""},                      // the high byte alone
      {u"\u20AC \u00A0", false, true, "\x80 \xA0"},  // the first of two bytes keeps the letter
      {u"Gr\u00FC\u00DFe", false, false, ""},        // no byte reads as sharp s
      {u"\u0081", false, false, ""},                 // nor as what a byte maps to nothing
      {u"\U0001F31F", false, false, ""},
  };
  for (const auto& [text, ascii, carried, bytes] : cases) {
    std::string narrow(text.size() + 1, '\x7F'), paged(narrow);
    UseSse2TextScans(false);  // the plain loop and SSE2 alike
    EXPECT_EQ(NarrowAscii(text.data(), text.size(), &narrow[0]), ascii) << bytes;
    UseSse2TextScans(true);
    EXPECT_EQ(NarrowAscii(text.data(), text.size(), &narrow[0]), ascii) << bytes;
    EXPECT_EQ(NarrowThroughTable(text.data(), text.size(), table.data(), &paged[0]), carried)
        << bytes;
    if (ascii) EXPECT_EQ(narrow, bytes + '\x7F');
    if (carried) EXPECT_EQ(paged, bytes + '\x7F');
  }
  // The held notice names the program's file.
  const std::tuple<const char*, std::size_t, const char*> notices[] = {
      {"C:\\Program Files\\KeePass\\KeePass.exe", 64, "Clipboard held by KeePass.exe"},
      {"", 64, "Clipboard held by another program"},
      {"C:\\KeePass.exe", 8, "Clipboa"},  // cut to its buffer
  };
  for (const auto& [path, size, notice] : notices) {
    char out[64];
    FormatHeldNotice(path, out, size);
    EXPECT_STREQ(out, notice) << path;
  }
}

}  // namespace
}  // namespace pinnafex
