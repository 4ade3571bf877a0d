#include "slots/slot_lines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
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
                                           std::size_t* unlisted = nullptr) {
  const std::vector<Unit> block(text.begin(), text.end());
  std::vector<std::basic_string<Unit>> lines;
  const LineCount count =
      SplitSlotLines<Unit>(block.data(), block.size(), maxLines, Collect<Unit>, &lines);
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

void ExpectBothKinds(const char* what, const std::string& text, std::size_t maxLines,
                     const Lines& lines, std::size_t unlisted = 0) {
  std::size_t narrowUnlisted = 0, wideUnlisted = 0;
  EXPECT_EQ(Split(text, maxLines, &narrowUnlisted), lines) << what;
  std::vector<std::u16string> wide;
  for (const std::string& line : lines) wide.push_back(Widened(line));
  EXPECT_EQ(Split(Widened(text), maxLines, &wideUnlisted), wide) << what << " as UTF-16";
  EXPECT_EQ(narrowUnlisted, unlisted) << what;
  EXPECT_EQ(wideUnlisted, unlisted) << what << " as UTF-16";
}

TEST(SlotLines, SplitsAndBoundsBothKindsOfText) {
  std::string many;
  for (std::size_t i = 0; i <= kMaxListedLines; ++i) many += "line\r\n";
  const struct {
    const char* what;
    std::string text;
    std::size_t maxLines;
    Lines lines;
    std::size_t unlisted;
  } cases[] = {
      {"CR LF line ends", "Hello\r\nWorld\r\n", SIZE_MAX, {"Hello", "World", ""}, 0},
      {"bare LF joins, tab dropped", "Hello\nWo\trld", SIZE_MAX, {"HelloWorld"}, 0},
      {"head skip passes blanks and CR LF", "\t \r\n  x", SIZE_MAX, {"x"}, 0},
      {"later blanks kept, CR CR an empty line", "a\r\r  b", SIZE_MAX, {"a", "", "  b"}, 0},
      {"only skippable units", "\t\r\n \x01 \x1f", SIZE_MAX, {}, 0},
      {"units 1..14 dropped, 15, 127 and 128..255 kept",
       "\xE9"
       "a\x0E\x0F\x7F\x80\xFF",
       SIZE_MAX,
       {"\xE9"
        "a\x0F\x7F\x80\xFF"},
       0},
      {"long line cut to 250",
       "ab\r" + Letters(300) + "\rz",
       SIZE_MAX,
       {"ab", Letters(250), "z"},
       0},
      {"text ends at its first zero", std::string("a\rb\0c\rd", 7), 1, {"a"}, 1},
      {"bound of none counts all", "a\rb\rc\rd", 0, {}, 4},
      {"bound cuts a list", "a\rb\r\r", 1, {"a"}, 2},
      {"a huge line counts once", Letters(1 << 20) + "\r\nnext", 1, {Letters(250)}, 1},
      {"the list's bound", many, kMaxListedLines, Lines(kMaxListedLines, "line"), 2},
  };
  for (const auto& c : cases) ExpectBothKinds(c.what, c.text, c.maxLines, c.lines, c.unlisted);
}

TEST(SlotLines, Utf16LinesAreNeverCutInsideASurrogatePair) {
  const std::u16string pair = u"\U0001F600", head = Widened(Letters(249));
  const struct {
    std::u16string text;
    std::vector<std::u16string> lines;
  } cases[] = {
      {u"\x4E2D" + pair + u"\r\nz", {u"\x4E2D" + pair, u"z"}},
      {head + pair + u"\rz", {head, u"z"}},  // the pair would end past 250: cut before it
      {head.substr(1) + pair + u"x", {head.substr(1) + pair}},
      {head + u"\xD800x", {head + u"\xD800"}},  // a lone half is only a unit
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.text), c.lines) << c.text.size() << " units";
}

// The scan that looks at many units at once must find each kind of unit at every offset.
TEST(SlotLines, FindsEachKindOfUnitAtEveryOffsetOfALongRun) {
  for (std::size_t at = 0; at < 40; ++at) {
    const std::string head = Letters(at), tail = Letters(40);
    const Lines headOnly = at ? Lines{head} : Lines{};
    ExpectBothKinds("tab", head + "\t" + tail, SIZE_MAX, {head + tail});
    ExpectBothKinds("CR", head + "\r" + tail, SIZE_MAX, at ? Lines{head, tail} : Lines{tail});
    ExpectBothKinds("upper half", head + "\xE4\x80" + tail, SIZE_MAX, {head + "\xE4\x80" + tail});
    ExpectBothKinds("cut", Letters(250 + at) + "\rz", SIZE_MAX, {Letters(250), "z"});
    ExpectBothKinds("flood", std::string(at + 20, '\n') + head + std::string(at, '\t'), SIZE_MAX,
                    headOnly);
    ExpectBothKinds("zero", head + std::string(1, '\0') + tail, SIZE_MAX, headOnly);
    ExpectBothKinds("size", head, SIZE_MAX, headOnly);
  }
}

TEST(SlotLines, UnlistedEntryCountsInGroupsOfThree) {
  const struct {
    std::size_t unlisted, size;
    const char* entry;
  } cases[] = {
      {1, 64, "... 1 more line not listed"},
      {999, 64, "... 999 more lines not listed"},
      {90000, 64, "... 90,000 more lines not listed"},
      {1234567, 64, "... 1,234,567 more lines not listed"},
      {1234567, 10, "... 1,234"},  // cut to its buffer, terminated
  };
  for (const auto& c : cases) {
    char out[64];
    FormatUnlistedEntry(c.unlisted, out, c.size);
    EXPECT_STREQ(out, c.entry);
  }
  std::vector<std::string> got;
  EXPECT_EQ(SplitSlotLines<char>(nullptr, 10, 9, Collect<char>, &got).listed, 0u);
  EXPECT_EQ(SplitSlotLines<char>("abc", 4, 9, nullptr, &got).listed, 0u);
  EXPECT_TRUE(got.empty());
}

}  // namespace
}  // namespace pinnafex
