#include "slots/slot_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace pinnafex {
namespace {

template <typename Unit>
void Collect(void* context, const Unit* line) {
  static_cast<std::vector<std::basic_string<Unit>>*>(context)->push_back(line);
}

template <typename Unit>
std::vector<std::basic_string<Unit>> Split(const std::basic_string<Unit>& text,
                                           std::size_t maxLines = 1000000,
                                           std::size_t* unlisted = nullptr) {
  std::vector<std::basic_string<Unit>> lines;
  const LineCount count =
      SplitSlotLines<Unit>(text.c_str(), text.size() + 1, maxLines, Collect<Unit>, &lines);
  EXPECT_EQ(count.listed, lines.size()) << "returned count";
  if (unlisted) *unlisted = count.unlisted;
  return lines;
}

// The same bytes as UTF-16 units: the rules of both kinds agree on them.
std::u16string Widened(const std::string& text) {
  return std::u16string(reinterpret_cast<const unsigned char*>(text.data()),
                        reinterpret_cast<const unsigned char*>(text.data()) + text.size());
}

void ExpectSameAsUtf16(const std::string& text, const std::vector<std::string>& lines) {
  std::vector<std::u16string> wide(lines.size());
  std::transform(lines.begin(), lines.end(), wide.begin(), Widened);
  EXPECT_EQ(Split(Widened(text)), wide) << "as UTF-16";
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out = "{";
  for (const std::string& line : lines) out += "[" + line + "]";
  return out + "}";
}

// Printable characters a..z repeated, so a cut shows which end was kept.
std::string Letters(std::size_t count) {
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s += static_cast<char>('a' + i % 26);
  return s;
}

TEST(SlotLines, SplitsTextsIntoListedLines) {
  const std::string line300 = Letters(300);
  const std::string first250 = line300.substr(0, 250);
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"CR LF line ends", "Hello\r\nWorld\r\n", {"Hello", "World", ""}},
      {"bare LF joins lines", "Hello\nWorld", {"HelloWorld"}},
      {"head skip of tab and blanks", "\t  x", {"x"}},
      {"tab inside a line dropped", "a\tb", {"ab"}},
      {"300 printable chars cut to 250", line300, {first250}},
      {"exactly 250 kept whole", Letters(250), {Letters(250)}},
      {"251 cut to 250", Letters(251), {Letters(250)}},
      {"cut line, next line after CR", "abc\r" + line300 + "\rdef", {"abc", first250, "def"}},
      {"empty text", "", {}},
      {"only skippable bytes", "\t\r\n \x01 \x1f", {}},
      {"CR only ending", "abc\r", {"abc"}},
      {"CR CR gives empty line, later blanks kept", "a\r\r  b", {"a", "", "  b"}},
      {"head skip passes CR LF", "\r\nabc", {"abc"}},
      {"bytes 128..255 listed",
       "Gr\xFC\xDF"
       "e \x80\xFF",
       {"Gr\xFC\xDF"
        "e \x80\xFF"}},
      {"byte >= 128 at head not skipped", "\xE9t\xE9", {"\xE9t\xE9"}},
      {"14 dropped, 15 and 127 kept", "a\x0E\x0F\x7F", {"a\x0F\x7F"}},
      {"bytes 1..14 inside a line dropped", "a\x01\x02\x08\x0B\x0C\x0D", {"a"}},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> got = Split(c.text);
    EXPECT_EQ(got, c.lines) << c.what << ": got " << Joined(got);
    ExpectSameAsUtf16(c.text, c.lines);
  }
}

// Lines past the bound are counted, not listed; both kinds of text count alike.
TEST(SlotLines, ListsUpToTheBoundAndCountsTheRest) {
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "line\r\n";
  struct Case {
    std::string text;
    std::size_t maxLines;
    std::vector<std::string> lines;
    std::size_t unlisted;
  };
  const Case cases[] = {
      {"a\rb\rc\rd", 0, {}, 4},
      {"a\rb\rc\rd", 1, {"a"}, 3},
      {"a\rb\rc\rd", 4, {"a", "b", "c", "d"}, 0},
      {"a\rb\r", 1, {"a"}, 1},
      {"a\r\n", 1, {"a"}, 1},
      {"a\r\r\r", 1, {"a"}, 2},
      {"\t \r\n", 0, {}, 0},
      {"a\rb\rc" + std::string(1, '\0') + "d\re", 1, {"a"}, 2},
      {Letters(1 << 20) + "\r\nnext", 1, {Letters(250)}, 1},
      {many, 2, {"line", "line"}, 999},
  };
  for (const Case& c : cases) {
    std::size_t unlisted = 0;
    std::size_t unlistedUtf16 = 0;
    EXPECT_EQ(Split(c.text, c.maxLines, &unlisted), c.lines) << "maxLines " << c.maxLines;
    Split(Widened(c.text), c.maxLines, &unlistedUtf16);
    EXPECT_EQ(unlisted, c.unlisted) << Joined(c.lines);
    EXPECT_EQ(unlistedUtf16, c.unlisted) << Joined(c.lines) << " as UTF-16";
  }
}

// UTF-16 units of 15 and above are listed; a surrogate pair is never cut in two.
TEST(SlotLines, Utf16KeepsSurrogatePairsWhole) {
  const std::u16string pair = u"\U0001F600";
  const std::u16string head = Widened(Letters(249));
  struct Case {
    const char* what;
    std::u16string text;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      {"CJK and a pair listed", u"\x4E2D" + pair + u"\r\nz", {u"\x4E2D" + pair, u"z"}},
      {"pair cut whole at 250", head + pair + u"\rz", {head, u"z"}},
      {"pair that fits kept", head.substr(1) + pair + u"x", {head.substr(1) + pair}},
      {"lone high half kept", head + u"\xD800x", {head + u"\xD800"}},
      {"units 1..14 dropped",
       u"\x0100\x0009\x000B\x000E\x000F"
       u"a",
       {u"\x0100\x000F"
        u"a"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Split(c.text), c.lines) << c.what;
  }
}

TEST(SlotLines, ReadsNoFurtherThanSize) {
  // An exactly sized heap block without a terminator: ASan reports any read past it.
  const char bytes[] = {'a', 'b', '\r', 'c', 'd', 'e'};
  struct Case {
    std::size_t size;
    std::vector<std::string> lines;
  };
  const Case cases[] = {{0, {}}, {1, {"a"}}, {3, {"ab"}}, {4, {"ab", "c"}}, {6, {"ab", "cde"}}};
  for (const Case& c : cases) {
    std::vector<char> block(bytes, bytes + c.size);
    std::vector<std::string> got;
    SplitSlotLines<char>(block.data(), block.size(), 100, Collect<char>, &got);
    EXPECT_EQ(got, c.lines) << "size " << c.size << ": got " << Joined(got);
  }
}

TEST(SlotLines, EndsAtFirstZeroByte) {
  const char text[] = "ab\0cd\rxy";
  std::vector<std::string> got;
  EXPECT_EQ(SplitSlotLines<char>(text, sizeof text, 100, Collect<char>, &got).listed, 1u);
  EXPECT_EQ(got, std::vector<std::string>{"ab"}) << Joined(got);
}

TEST(SlotLines, NothingWithoutTextOrSink) {
  std::vector<std::string> got;
  EXPECT_EQ(SplitSlotLines<char>(nullptr, 10, 100, Collect<char>, &got).listed, 0u);
  EXPECT_EQ(SplitSlotLines<char>("abc", 4, 100, nullptr, &got).listed, 0u);
  EXPECT_TRUE(got.empty()) << Joined(got);
}

// The scan that looks at many bytes at once must find a dropped byte, a carriage return, a
// zero byte and the size limit at every offset, and keep bytes of 128 and above in long runs.
TEST(SlotLines, FindsLineEndsAtEveryOffsetOfALongRun) {
  for (std::size_t at = 0; at < 40; ++at) {
    const std::string head = Letters(at);
    struct Case {
      const char* what;
      std::string text;
      std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"tab dropped", head + "\t" + Letters(40), {head + Letters(40)}},
        {"carriage return", head + "\r" + Letters(40),
         at ? std::vector<std::string>{head, Letters(40)} : std::vector<std::string>{Letters(40)}},
        {"upper half kept",
         head + "\xE4\xFC\x80" + Letters(40),
         {head + "\xE4\xFC\x80" + Letters(40)}},
        {"line cut at 250", Letters(250 + at) + "\rz", {Letters(250), "z"}},
        {"flood inside a line", head + std::string(at + 20, '\t') + "\n\x01" + "z", {head + "z"}},
        {"flood at the head", std::string(at + 20, '\n') + " \t" + "z", {"z"}},
    };
    for (const Case& c : cases) {
      const std::vector<std::string> got = Split(c.text);
      EXPECT_EQ(got, c.lines) << c.what << " at " << at << ": got " << Joined(got);
      ExpectSameAsUtf16(c.text, c.lines);
    }
    // Zero byte and size limit inside a run.
    const std::string text = head + std::string(1, '\0') + "tail";
    std::vector<std::string> got;
    SplitSlotLines<char>(text.data(), text.size(), 100, Collect<char>, &got);
    EXPECT_EQ(got, at ? std::vector<std::string>{head} : std::vector<std::string>{})
        << "zero at " << at << ": got " << Joined(got);
    const std::string letters = Letters(60);
    std::vector<char> block(letters.begin(), letters.begin() + static_cast<long>(at));
    got.clear();
    SplitSlotLines<char>(block.data(), block.size(), 100, Collect<char>, &got);
    EXPECT_EQ(got, at ? std::vector<std::string>{head} : std::vector<std::string>{})
        << "size " << at << ": got " << Joined(got);
  }
}

}  // namespace
}  // namespace pinnafex
