#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/settings_text.h"

using namespace pinnafex;

TEST(SettingText, ParsesDecimalTextLikeStrtol) {
  struct Row {
    const char* text;
    int expected;
  } rows[] = {
      {"0", 0},
      {"1", 1},
      {"-1", -1},
      {"+7", 7},
      {"  \t\n12", 12},
      {"42abc", 42},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {" - 3", 0},
      {"007", 7},
      {"2147483647", 2147483647},
      {"99999999999", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-99999999999", -2147483647 - 1},
      {"1 2", 1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ParseSettingInt(row.text), row.expected) << "text \"" << row.text << "\"";
  }
}

TEST(SettingText, FormatsAsPercentI) {
  struct Row {
    int value;
    const char* expected;
  } rows[] = {
      {0, "0"}, {1, "1"}, {-1, "-1"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"}};
  for (const Row& row : rows) {
    char out[kSettingTextSize];
    std::memset(out, 0xCC, sizeof out);
    FormatSettingInt(row.value, out);
    EXPECT_STREQ(out, row.expected);
    EXPECT_EQ(ParseSettingInt(out), row.value) << "round trip of " << row.value;
  }
}

TEST(SettingText, TakesTextOnlyFromStringValuesThatFit) {
  const std::string full(255, '7');
  const std::string tooLong(256, '7');
  struct Row {
    const char* what;
    bool isString;
    std::string bytes;
    bool taken;
    std::string text;
  } rows[] = {
      {"terminated", true, std::string("12\0", 3), true, "12"},
      {"no terminator keeps every digit", true, "123", true, "123"},
      {"empty value (size 0)", true, "", true, ""},
      {"only the terminator", true, std::string("\0", 1), true, ""},
      {"text ends at the first NUL", true,
       std::string("1\0"
                   "9",
                   3),
       true, "1"},
      {"255 characters and no terminator", true, full, true, full},
      {"256 characters do not fit", true, tooLong, false, ""},
      {"a DWORD is not text", false, std::string("\x01\0\0\0", 4), false, ""},
  };
  for (const Row& row : rows) {
    char out[kSettingTextSize];
    std::memset(out, 'x', sizeof out);
    out[0] = '\0';
    const bool taken =
        SettingTextFromValue(row.isString, reinterpret_cast<const unsigned char*>(row.bytes.data()),
                             row.bytes.size(), out);
    EXPECT_EQ(taken, row.taken) << row.what;
    if (row.taken)
      EXPECT_EQ(std::string(out), row.text) << row.what;
    else
      EXPECT_STREQ(out, "") << row.what << ": the buffer was left as it was";
  }
}
