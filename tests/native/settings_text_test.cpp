#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "settings/settings_text.h"

using namespace pinnafex;

TEST(SettingText, ParsesLikeStrtolAndSaturatesAndFormatsBack) {
  const std::pair<const char*, int> rows[] = {{"-1", -1},
                                              {" \t\n+7", 7},
                                              {"42abc", 42},
                                              {"", 0},
                                              {" - 3", 0},
                                              {"99999999999", 2147483647},
                                              {"-99999999999", -2147483647 - 1}};
  for (const auto& [text, value] : rows) {
    EXPECT_EQ(ParseSettingInt(text), value) << "\"" << text << "\"";
    char out[kSettingTextSize];
    FormatSettingInt(value, out);
    EXPECT_EQ(ParseSettingInt(out), value) << "round trip of " << out;
  }
}

TEST(SettingText, TakesTextOnlyFromStringValuesThatFit) {
  const std::string full(255, '7');
  // Value type, value bytes, taken, text; a value not taken leaves the buffer as it was.
  const std::tuple<bool, std::string, bool, std::string> rows[] = {
      {true, "123", true, "123"},  // no terminator keeps every digit
      {true, "", true, ""},        // size 0
      {true,
       std::string("1\0"
                   "9",
                   3),
       true, "1"},
      {true, full, true, full},
      {true, full + "7", false, ""},                     // 256 characters do not fit
      {false, std::string("\x01\0\0\0", 4), false, ""},  // a DWORD is not text
  };
  for (const auto& [isString, bytes, taken, text] : rows) {
    char out[kSettingTextSize];
    std::memset(out, 'x', sizeof out);
    out[0] = '\0';
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    EXPECT_EQ(SettingTextFromValue(isString, data, bytes.size(), out), taken) << bytes.size();
    EXPECT_EQ(std::string(out), text) << bytes.size();
  }
}
