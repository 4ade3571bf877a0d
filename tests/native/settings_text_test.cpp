#include "settings/settings_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

namespace pinnafex {
namespace {

// Whatever another program or an old version left under a value reads as a defined number, as
// strtol would, or not at all (the caller's fallback stays); the number written back reads the
// same. (The registry's side, a value of another type or too long, is checked end to end.)
TEST(SettingText, EveryStoredValueReadsSoundlyAndWritesBack) {
  // A string or not, its bytes; read or not, and the number read.
  const std::tuple<bool, std::string, bool, int> rows[] = {
      {true, "", true, 0},
      {true, "-123", true, -123},  // no terminator
      {true, " \t\n+7", true, 7},
      {true, "42abc", true, 42},
      {true, " - 3", true, 0},
      {true, std::string("1\0009", 3), true, 1},
      {true, "-99999999999", true, INT_MIN},
      {true, std::string(255, '1'), true, INT_MAX},
      {true, std::string(256, '1'), false, 0},
      {false, std::string("42\0", 3), false, 0},
  };
  for (const auto& [isString, bytes, read, number] : rows) {
    SCOPED_TRACE(bytes.substr(0, 20));
    const std::vector<unsigned char> data(bytes.begin(), bytes.end());  // exactly sized
    char text[kSettingTextSize] = "fallback";
    EXPECT_EQ(SettingTextFromValue(isString, data.data(), data.size(), text), read);
    EXPECT_EQ(text, read ? bytes.substr(0, bytes.find('\0')) : "fallback");
    if (!read) continue;
    EXPECT_EQ(ParseSettingInt(text), number);
    FormatSettingInt(number, text);
    EXPECT_EQ(ParseSettingInt(text), number) << "written back";
  }
}

}  // namespace
}  // namespace pinnafex
