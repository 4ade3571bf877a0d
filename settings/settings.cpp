#include "settings/settings.h"

#include <windows.h>

#include "settings/settings_text.h"
#include "base/bar_ids.h"

namespace pinnafex {

const char* WriteSettingString(const char* key, const char* value, const char* text) {
  HKEY hkey = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, &hkey, nullptr) == ERROR_SUCCESS) {
    RegSetValueExA(hkey, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(lstrlenA(text) + 1));
    RegFlushKey(hkey);
    RegCloseKey(hkey);
  }
  return text;
}

char* ReadSettingString(const char* key, const char* value, char* dest, const char* fallback) {
  char(&out)[kSettingTextSize] = *reinterpret_cast<char(*)[kSettingTextSize]>(dest);
  lstrcpynA(out, fallback, sizeof out);
  HKEY hkey = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &hkey) != ERROR_SUCCESS) {
    return dest;
  }
  // Read into scratch: a failed query may leave anything in its buffer.
  unsigned char data[kSettingTextSize];
  DWORD type = 0;
  DWORD size = sizeof data;
  if (RegQueryValueExA(hkey, value, nullptr, &type, data, &size) == ERROR_SUCCESS) {
    SettingTextFromValue(type == REG_SZ || type == REG_EXPAND_SZ, data, size, out);
  }
  RegCloseKey(hkey);
  return dest;
}

void WriteIntSetting(const char* value, int number) {
  char text[kSettingTextSize];
  FormatSettingInt(number, text);
  WriteSettingString(kProgramKey, value, text);
}

int ReadIntSetting(const char* value, int* number, int fallback) {
  char fallbackText[kSettingTextSize];
  char text[kSettingTextSize];
  FormatSettingInt(fallback, fallbackText);
  ReadSettingString(kProgramKey, value, text, fallbackText);
  *number = ParseSettingInt(text);
  return *number;
}

}  // namespace pinnafex
