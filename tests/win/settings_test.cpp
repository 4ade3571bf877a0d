// Settings against the real registry of the test prefix.
#include "settings/settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "settings/settings_text.h"
#include "base/bar_ids.h"

namespace pinnafex {
namespace {

// Whatever another program or an old version left under a value, the read gives a defined
// number, as strtol would, and a text that never runs past its buffer; the number written back
// reads the same.
TEST(Settings, EveryStoredValueReadsSoundlyAndWritesBack) {
  const struct {
    DWORD type;  // REG_NONE: nothing stored
    std::string bytes;
    int number;  // the fallback is 7
    std::string text;
  } rows[] = {
      {REG_NONE, "", 7, "7"},
      {REG_SZ, "", 0, ""},
      {REG_SZ, "-123", -123, "-123"},  // no terminator
      {REG_SZ, " \t\n+7", 7, " \t\n+7"},
      {REG_SZ, "42abc", 42, "42abc"},
      {REG_SZ, " - 3", 0, " - 3"},
      {REG_SZ, std::string("1\0009", 3), 1, "1"},
      {REG_SZ, "-99999999999", INT_MIN, "-99999999999"},
      {REG_SZ, std::string(255, '1'), INT_MAX, std::string(255, '1')},
      {REG_SZ, std::string(256, '1'), 7, "7"},
      {REG_SZ, std::string(300, '5') + '\0', 7, "7"},
      {REG_DWORD, std::string("\1\0\0\0", 4), 7, "7"},
      {REG_BINARY, std::string("42\0", 3), 7, "7"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes.substr(0, 20) + ", type " + std::to_string(row.type));
    HKEY key = nullptr;
    RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_SUCCESS);
    if (row.type != REG_NONE) {
      RegSetValueExA(key, "NOCLOCK", 0, row.type, reinterpret_cast<const BYTE*>(row.bytes.data()),
                     DWORD(row.bytes.size()));
    }
    RegCloseKey(key);
    int number = 12345;
    EXPECT_EQ(ReadIntSetting("NOCLOCK", &number, 7), row.number);
    EXPECT_EQ(number, row.number);
    struct {
      char dest[kSettingTextSize];
      char guard[16];
    } buffer;
    std::memset(&buffer, 0xCC, sizeof buffer);
    ReadSettingString(kProgramKey, "NOCLOCK", buffer.dest, "7");
    EXPECT_EQ(buffer.dest, row.text);
    EXPECT_EQ(std::string(buffer.guard, 16), std::string(16, '\xCC'));
    WriteIntSetting("NOCLOCK", row.number);
    EXPECT_EQ(ReadIntSetting("NOCLOCK", &number, 7), row.number) << "written back";
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
}

}  // namespace
}  // namespace pinnafex
