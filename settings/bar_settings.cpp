#include "settings/bar_settings.h"

#include "settings/settings.h"
#include "settings/settings_text.h"

namespace pinnafex {

namespace {

// One row a value, in the order they are written. A flag row names a bool; the edge row its
// number; the screen row its text.
using SettingText = char[kSettingTextSize];
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
    {"KEEPSLOTS", &BarSettings::keepSlots, nullptr, 0, SettingRange::kOnOff},
    {"SCREEN", nullptr, nullptr, 0, SettingRange::kOnOff, &BarSettings::screen},
    {"SCREENID", nullptr, nullptr, 0, SettingRange::kOnOff, &BarSettings::screenId},
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

}  // namespace pinnafex
