// Settings under HKEY_CURRENT_USER\Quorvel_Pinnafex.
#pragma once

namespace pinnafex {

const char* WriteSettingString(const char* key, const char* value, const char* text);
// dest holds kSettingTextSize bytes; it ends with the stored text, or with fallback.
char* ReadSettingString(const char* key, const char* value, char* dest, const char* fallback);
void WriteIntSetting(const char* value, int number);
int ReadIntSetting(const char* value, int* number, int fallback);

}  // namespace pinnafex
