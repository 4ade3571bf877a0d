#include "slots/slot_lines.h"

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

void ExpectBothKinds(const std::string& text, const Lines& lines, std::size_t maxLines = SIZE_MAX,
                     std::size_t unlisted = 0) {
  std::size_t narrowUnlisted = 0, wideUnlisted = 0;
  EXPECT_EQ(Split(text, maxLines, &narrowUnlisted), lines) << text.substr(0, 40);
  std::vector<std::u16string> wide;
  for (const std::string& line : lines) wide.push_back(Widened(line));
  EXPECT_EQ(Split(Widened(text), maxLines, &wideUnlisted), wide) << text.substr(0, 40);
  EXPECT_EQ(narrowUnlisted, unlisted) << text.substr(0, 40);
  EXPECT_EQ(wideUnlisted, unlisted) << text.substr(0, 40) << " as UTF-16";
}

TEST(SlotLines, SplitsAndBoundsBothKindsOfText) {
  std::string many;
  for (std::size_t i = 0; i <= kMaxListedLines; ++i) many += "line\r\n";
  const std::tuple<std::string, Lines, std::size_t, std::size_t> cases[] = {
      {"Hello\r\nWorld\r\n", {"Hello", "World", ""}, SIZE_MAX, 0},  // only CR ends a line
      {"Hello\nWo\trld", {"HelloWorld"}, SIZE_MAX, 0},
      {"\t \r\n  x", {"x"}, SIZE_MAX, 0},           // the head skip passes blanks and line ends
      {"a\r\r  b", {"a", "", "  b"}, SIZE_MAX, 0},  // later lines keep their blanks
      {"\t\r\n \x01 \x1f", {}, SIZE_MAX, 0},
      {"\xE9t\x0E\x0F\x7F\x80\xFF", {"\xE9t\x0F\x7F\x80\xFF"}, SIZE_MAX, 0},  // 1..14 dropped
      {"ab\r" + Letters(300) + "\rz", {"ab", Letters(250), "z"}, SIZE_MAX, 0},
      {std::string("a\rb\0c\rd", 7), {"a"}, 1, 1},  // the text ends at its first zero
      {"a\rb\rc\rd", {}, 0, 4},
      {"a\rb\r\r", {"a"}, 1, 2},
      {Letters(1 << 20) + "\r\nnext", {Letters(250)}, 1, 1},
      {many, Lines(kMaxListedLines, "line"), kMaxListedLines, 2},
  };
  for (const auto& [text, lines, maxLines, unlisted] : cases) {
    ExpectBothKinds(text, lines, maxLines, unlisted);
  }
  std::vector<std::string> got;
  EXPECT_EQ(SplitSlotLines<char>(nullptr, 10, 9, Collect<char>, &got).listed, 0u);
  EXPECT_EQ(SplitSlotLines<char>("abc", 4, 9, nullptr, &got).listed, 0u);
}

TEST(SlotLines, Utf16LinesAreNeverCutInsideASurrogatePair) {
  const std::u16string pair = u"\U0001F600", head = Widened(Letters(249));
  const std::pair<std::u16string, std::vector<std::u16string>> cases[] = {
      {u"\x4E2D" + pair + u"\r\nz", {u"\x4E2D" + pair, u"z"}},
      {head + pair + u"\rz", {head, u"z"}},  // the pair would end past 250: cut before it
      {head.substr(1) + pair + u"x", {head.substr(1) + pair}},
      {head + u"\xD800x", {head + u"\xD800"}},  // a lone half is only a unit
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(Split(text), lines) << text.size();
}

// The scan that looks at many units at once must find each kind of unit at every offset.
TEST(SlotLines, FindsEachKindOfUnitAtEveryOffsetOfALongRun) {
  for (std::size_t at = 0; at < 40; ++at) {
    const std::string head = Letters(at), tail = Letters(40);
    const Lines headOnly = at ? Lines{head} : Lines{};
    ExpectBothKinds(head + "\t" + tail, {head + tail});
    ExpectBothKinds(head + "\r" + tail, at ? Lines{head, tail} : Lines{tail});
    ExpectBothKinds(head + "\xE4\x80" + tail, {head + "\xE4\x80" + tail});
    ExpectBothKinds(Letters(250 + at) + "\rz", {Letters(250), "z"});
    ExpectBothKinds(std::string(at + 20, '\n') + head + std::string(at, '\t'), headOnly);
    ExpectBothKinds(head + std::string(1, '\0') + tail, headOnly);
    ExpectBothKinds(head, headOnly);  // ends at the size
  }
}

}  // namespace
}  // namespace pinnafex
