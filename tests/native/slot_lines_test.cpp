#include "slots/slot_lines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace pinnafex {
namespace {

void Collect(void* context, const char* line) {
  static_cast<std::vector<std::string>*>(context)->push_back(line);
}

std::vector<std::string> Split(const std::string& text, std::size_t maxLines = 1000000) {
  std::vector<std::string> lines;
  const std::size_t count =
      SplitSlotLines(text.c_str(), text.size() + 1, maxLines, Collect, &lines);
  EXPECT_EQ(count, lines.size()) << "returned count for \"" << text << "\"";
  return lines;
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
  }
}

TEST(SlotLines, StopsAfterMaxLines) {
  struct Case {
    std::size_t maxLines;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {0, {}}, {1, {"a"}}, {2, {"a", "b"}}, {4, {"a", "b", "c", "d"}}, {9, {"a", "b", "c", "d"}},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> got = Split("a\rb\rc\rd", c.maxLines);
    EXPECT_EQ(got, c.lines) << "maxLines " << c.maxLines << ": got " << Joined(got);
  }
}

TEST(SlotLines, LongLineBeforeAndAtTheLimit) {
  const std::string text = Letters(1 << 20) + "\r\nnext";
  EXPECT_EQ(Split(text, 1), std::vector<std::string>{Letters(250)});
  EXPECT_EQ(Split(text, 2), (std::vector<std::string>{Letters(250), "next"}));
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
    SplitSlotLines(block.data(), block.size(), 100, Collect, &got);
    EXPECT_EQ(got, c.lines) << "size " << c.size << ": got " << Joined(got);
  }
}

TEST(SlotLines, EndsAtFirstZeroByte) {
  const char text[] = "ab\0cd\rxy";
  std::vector<std::string> got;
  EXPECT_EQ(SplitSlotLines(text, sizeof text, 100, Collect, &got), 1u);
  EXPECT_EQ(got, std::vector<std::string>{"ab"}) << Joined(got);
}

TEST(SlotLines, NothingWithoutTextOrSink) {
  std::vector<std::string> got;
  EXPECT_EQ(SplitSlotLines(nullptr, 10, 100, Collect, &got), 0u);
  EXPECT_EQ(SplitSlotLines("abc", 4, 100, nullptr, &got), 0u);
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
    };
    for (const Case& c : cases) {
      const std::vector<std::string> got = Split(c.text);
      EXPECT_EQ(got, c.lines) << c.what << " at " << at << ": got " << Joined(got);
    }
    // Zero byte and size limit inside a run.
    const std::string text = head + std::string(1, '\0') + "tail";
    std::vector<std::string> got;
    SplitSlotLines(text.data(), text.size(), 100, Collect, &got);
    EXPECT_EQ(got, at ? std::vector<std::string>{head} : std::vector<std::string>{})
        << "zero at " << at << ": got " << Joined(got);
    const std::string letters = Letters(60);
    std::vector<char> block(letters.begin(), letters.begin() + static_cast<long>(at));
    got.clear();
    SplitSlotLines(block.data(), block.size(), 100, Collect, &got);
    EXPECT_EQ(got, at ? std::vector<std::string>{head} : std::vector<std::string>{})
        << "size " << at << ": got " << Joined(got);
  }
}

}  // namespace
}  // namespace pinnafex
