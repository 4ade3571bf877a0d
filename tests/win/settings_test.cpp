// Settings against the real registry of the test prefix.
#include "settings/settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/settings_text.h"
#include "shell/control_ids.h"

namespace pinnafex {
namespace {

// Whatever another program or an old version left under the value, the read gives a defined
// number, and a text that never runs past its buffer.
TEST(Settings, EveryStoredValueReadsSoundly) {
  const DWORD dword = 1;
  const struct {
    const char* what;
    DWORD type;  // REG_NONE: nothing stored
    std::string bytes;
    int number;  // the fallback is 7
    std::string text;
  } rows[] = {
      {"missing", REG_NONE, "", 7, "7"},
      {"-1", REG_SZ, std::string("-1\0", 3), -1, "-1"},
      {"abc", REG_SZ, std::string("abc\0", 4), 0, "abc"},
      {" 12 with blanks", REG_SZ, std::string(" 12\0", 4), 12, " 12"},
      {"saturates", REG_SZ, std::string("99999999999\0", 12), 2147483647, "99999999999"},
      {"empty value of size 0", REG_SZ, "", 0, ""},
      {"no terminator keeps every digit", REG_SZ, "123", 123, "123"},
      {"255 bytes, no terminator", REG_SZ, std::string(255, '1'), 2147483647,
       std::string(255, '1')},
      {"256 bytes, no terminator", REG_SZ, std::string(256, '1'), 7, "7"},
      {"longer than the buffer", REG_SZ, std::string(300, '5') + '\0', 7, "7"},
      {"a DWORD is not text", REG_DWORD, std::string(reinterpret_cast<const char*>(&dword), 4), 7,
       "7"},
      {"binary is not text", REG_BINARY, std::string("42\0", 3), 7, "7"},
  };
  for (const auto& row : rows) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
    if (row.type != REG_NONE) {
      HKEY key = nullptr;
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
                ERROR_SUCCESS);
      RegSetValueExA(key, "NOCLOCK", 0, row.type, reinterpret_cast<const BYTE*>(row.bytes.data()),
                     DWORD(row.bytes.size()));
      RegCloseKey(key);
    }
    int number = 12345;
    EXPECT_EQ(ReadIntSetting("NOCLOCK", &number, 7), row.number) << row.what;
    EXPECT_EQ(number, row.number) << row.what;
    struct {
      char dest[kSettingTextSize];
      char guard[16];
    } buffer;
    std::memset(&buffer, 0xCC, sizeof buffer);
    ReadSettingString(kProgramKey, "NOCLOCK", buffer.dest, "7");
    EXPECT_EQ(buffer.dest, row.text) << row.what;
    EXPECT_EQ(std::string(buffer.guard, 16), std::string(16, '\xCC')) << row.what;
  }
  // Written as decimal text with its terminator, as earlier versions read it.
  WriteIntSetting("NOCLOCK", -1);
  char raw[16];
  DWORD type = 0, size = sizeof raw;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kProgramKey, "NOCLOCK", RRF_RT_ANY | RRF_NOEXPAND,
                         &type, raw, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD{REG_SZ});
  EXPECT_EQ(std::string(raw, size), std::string("-1\0", 3));
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
}

}  // namespace
}  // namespace pinnafex
