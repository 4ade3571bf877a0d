#include "settings/settings_text.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "base/bar_ids.h"

namespace pinnafex {

namespace {
bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
}  // namespace

int ParseSettingInt(const char* text) {
  const char* p = text;
  while (IsSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  long long value = 0;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > limit) value = limit;
  }
  return static_cast<int>(negative ? -value : value);
}

int SettingInRange(SettingRange range, int stored) {
  switch (range) {
    case SettingRange::kOnOff:
      return stored != 0;
    case SettingRange::kEdge:
      return IsEdge(stored) ? stored : kEdgeLeft;
    case SettingRange::kSlotMask:
      return stored & ((1 << kSlotCount) - 1);
  }
  return 0;
}

void FormatSettingInt(int value, char (&out)[kSettingTextSize]) {
  std::snprintf(out, sizeof out, "%i", value);
}

bool SettingTextFromValue(bool isString, const unsigned char* data, std::size_t size,
                          char (&out)[kSettingTextSize]) {
  if (!isString) return false;
  const void* nul = size ? std::memchr(data, 0, size) : nullptr;
  const std::size_t length =
      nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - data) : size;
  if (length >= kSettingTextSize) return false;
  std::memcpy(out, data, length);
  out[length] = '\0';
  return true;
}

}  // namespace pinnafex
