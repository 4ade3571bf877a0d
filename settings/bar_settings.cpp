#include "settings/bar_settings.h"

#include <cstring>
#include <windows.h>

#include "settings/settings.h"
#include "settings/settings_text.h"

namespace pinnafex {

namespace {

// One row a value, in the order they are written. A flag row names a bool; the edge row its
// number; the screen row its text.
using SettingText = char[kSettingTextSize];
constexpr char kKeepSlotsName[] = "KEEPSLOTS";
constexpr char kLockedSlotsName[] = "LOCKEDSLOTS";
struct SettingRow {
  const char* name;
  bool BarSettings::*flag;
  int BarSettings::*number;
  int fallback;
  SettingRange range;
  SettingText BarSettings::*text = nullptr;
};
constexpr SettingRow kSettingRows[] = {
    {"AUTOHIDE", &BarSettings::autohide, nullptr, 0, SettingRange::kOnOff},
    {"NOCLOCK", &BarSettings::clockHidden, nullptr, 0, SettingRange::kOnOff},
    {"STARTPOSITON", nullptr, &BarSettings::edge, kEdgeTop, SettingRange::kEdge},
    {"HOTKEYS", &BarSettings::hotkeys, nullptr, 0, SettingRange::kOnOff},
    {kKeepSlotsName, &BarSettings::keepSlots, nullptr, 0, SettingRange::kOnOff},
    {"SCREEN", nullptr, nullptr, 0, SettingRange::kOnOff, &BarSettings::screen},
    {"SCREENID", nullptr, nullptr, 0, SettingRange::kOnOff, &BarSettings::screenId},
    {kLockedSlotsName, nullptr, &BarSettings::lockedSlots, 0, SettingRange::kSlotMask},
};

}  // namespace

BarSettings ReadBarSettings() {
  BarSettings settings;
  for (const SettingRow& row : kSettingRows) {
    if (row.text) {
      ReadSettingString(kProgramKey, row.name, settings.*row.text, "");
      continue;
    }
    int stored = row.fallback;
    ReadIntSetting(row.name, &stored, row.fallback);
    const int value = SettingInRange(row.range, stored);
    if (row.flag) {
      settings.*row.flag = value != 0;
    } else {
      settings.*row.number = value;
    }
  }
  return settings;
}

bool KeepSlotsTurnedOff() {
  char text[kSettingTextSize];
  return std::strcmp(ReadSettingString(kProgramKey, kKeepSlotsName, text, ""), "0") == 0;
}

void WriteBarSettings(const BarSettings& settings) {
  for (const SettingRow& row : kSettingRows) {
    if (row.text) {
      WriteSettingString(kProgramKey, row.name, settings.*row.text);
      continue;
    }
    WriteIntSetting(row.name,
                    row.flag ? static_cast<int>(settings.*row.flag) : settings.*row.number);
  }
}

void WriteLockedSlots(const BarSettings& settings) {
  WriteIntSetting(kLockedSlotsName, settings.lockedSlots);
}

namespace {

// The program's key and "SLOTNAMEn", in UTF-16 for the W registry functions.
struct WideNames {
  wchar_t key[sizeof kProgramKey];
  wchar_t value[16];
};
WideNames NamesOf(int slot) {
  WideNames names{};
  for (std::size_t i = 0; i < sizeof kProgramKey; ++i) names.key[i] = kProgramKey[i];
  wsprintfW(names.value, L"SLOTNAME%d", slot + 1);
  return names;
}

}  // namespace

void ReadSlotNames(wchar_t (&names)[kSlotCount][kSlotNameSize]) {
  for (auto& name : names) name[0] = L'\0';
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, NamesOf(0).key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return;
  }
  for (int slot = 0; slot < kSlotCount; ++slot) {
    // Read into scratch: a failed query may leave anything in its buffer. A longer value than
    // a name may be (written by hand) is cut.
    wchar_t data[kSettingTextSize] = {};
    DWORD type = 0;
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegQueryValueExW(key, NamesOf(slot).value, nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
      lstrcpynW(names[slot], data, kSlotNameSize);
    }
  }
  RegCloseKey(key);
}

void WriteSlotName(int slot, const wchar_t* name) {
  const WideNames names = NamesOf(slot);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, names.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (name[0]) {
    RegSetValueExW(key, names.value, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                   static_cast<DWORD>((lstrlenW(name) + 1) * sizeof(wchar_t)));
  } else {
    RegDeleteValueW(key, names.value);
  }
  RegFlushKey(key);
  RegCloseKey(key);
}

}  // namespace pinnafex
