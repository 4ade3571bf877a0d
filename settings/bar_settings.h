// The bar's settings under the program's key: read when the bar starts, written when it ends
// (a confirmed quit or the end of the session).
#pragma once
#include "base/bar_ids.h"
#include "settings/settings_text.h"

namespace pinnafex {

struct BarSettings {
  bool autohide = false;     // AUTOHIDE
  bool clockHidden = false;  // NOCLOCK
  int edge = kEdgeTop;       // STARTPOSITON: the edge the bar docks at
  bool hotkeys = false;      // HOTKEYS: the keys that paste a slot are taken
  bool keepSlots = false;    // KEEPSLOTS: the slots are saved and come back at start
  // SCREEN: the output's name of the monitor the bar is to be on ("" the primary), which an
  // older release reads. Kept as read, even while that monitor is away.
  char screen[kSettingTextSize] = "";
  // SCREENID: that monitor's identity (its device interface name); "" for the primary, or for a
  // choice an older release saved.
  char screenId[kSettingTextSize] = "";
  int lockedSlots = 0;  // LOCKEDSLOTS: bit n - 1 set while slot n is locked
};

constexpr bool SlotLocked(const BarSettings& settings, int slot) {
  return (settings.lockedSlots >> slot & 1) != 0;
}
// Written at once when they change, not only when the bar ends.
void WriteLockedSlots(const BarSettings& settings);

// SLOTNAME1 ... SLOTNAME20: the slots' names, in any script ("" for a slot with none).
void ReadSlotNames(wchar_t (&names)[kSlotCount][kSlotNameSize]);
// Stores the name, or removes the value for "".
void WriteSlotName(int slot, const wchar_t* name);

// Each value read in range; a missing or unreadable one takes its default.
BarSettings ReadBarSettings();
// Whether KEEPSLOTS was read and holds the text "0": only then are kept files deleted at start.
bool KeepSlotsTurnedOff();
// Every value, as decimal text.
void WriteBarSettings(const BarSettings& settings);

}  // namespace pinnafex
