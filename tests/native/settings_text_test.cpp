#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/settings_text.h"

using namespace pinnafex;

TEST(SettingText, ParsesLikeStrtolAndSaturatesAndFormatsBack) {
  const struct {
    const char* text;
    int value;
  } rows[] = {{"-1", -1},
              {" \t\n+7", 7},
              {"42abc", 42},
              {"", 0},
              {" - 3", 0},
              {"99999999999", 2147483647},
              {"-99999999999", -2147483647 - 1}};
  for (const auto& row : rows) {
    EXPECT_EQ(ParseSettingInt(row.text), row.value) << "\"" << row.text << "\"";
    char out[kSettingTextSize];
    FormatSettingInt(row.value, out);
    EXPECT_EQ(ParseSettingInt(out), row.value) << "round trip of " << out;
  }
}

TEST(SettingText, TakesTextOnlyFromStringValuesThatFit) {
  const std::string full(255, '7');
  const struct {
    const char* what;
    bool isString;
    std::string bytes;
    bool taken;
    std::string text;
  } rows[] = {
      {"no terminator keeps every digit", true, "123", true, "123"},
      {"size 0", true, "", true, ""},
      {"ends at the first NUL", true,
       std::string("1\0"
                   "9",
                   3),
       true, "1"},
      {"255 characters, no terminator", true, full, true, full},
      {"256 characters do not fit", true, full + "7", false, ""},
      {"a DWORD is not text", false, std::string("\x01\0\0\0", 4), false, ""},
  };
  for (const auto& row : rows) {
    char out[kSettingTextSize];
    std::memset(out, 'x', sizeof out);
    out[0] = '\0';
    EXPECT_EQ(
        SettingTextFromValue(row.isString, reinterpret_cast<const unsigned char*>(row.bytes.data()),
                             row.bytes.size(), out),
        row.taken)
        << row.what;
    EXPECT_EQ(std::string(out), row.text) << row.what;
  }
}
