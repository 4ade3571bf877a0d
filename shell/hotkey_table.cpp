#include "shell/hotkey_table.h"

#include <cstring>

namespace pinnafex {

namespace {

constexpr unsigned kPasteModifiers = kModControl | kModShift | kModAlt;

struct HotkeyRow {
  unsigned modifiers;
  unsigned char virtualKey;
  const char* keyName;
};
// Slots 1-10 on the digit row, 11-20 on F1-F10 with the same modifiers: Ctrl+Alt is AltGr, and
// a function key types no character with it on any layout; with no Windows key among them, no
// shortcut of the system is taken. The copy key last: Insert, as in Ctrl+Insert, types nothing
// with AltGr either.
constexpr HotkeyRow kHotkeys[kHotkeyCount] = {
    {kPasteModifiers, '1', "1"},       {kPasteModifiers, '2', "2"},
    {kPasteModifiers, '3', "3"},       {kPasteModifiers, '4', "4"},
    {kPasteModifiers, '5', "5"},       {kPasteModifiers, '6', "6"},
    {kPasteModifiers, '7', "7"},       {kPasteModifiers, '8', "8"},
    {kPasteModifiers, '9', "9"},       {kPasteModifiers, '0', "0"},
    {kPasteModifiers, 0x70, "F1"},     {kPasteModifiers, 0x71, "F2"},
    {kPasteModifiers, 0x72, "F3"},     {kPasteModifiers, 0x73, "F4"},
    {kPasteModifiers, 0x74, "F5"},     {kPasteModifiers, 0x75, "F6"},
    {kPasteModifiers, 0x76, "F7"},     {kPasteModifiers, 0x77, "F8"},
    {kPasteModifiers, 0x78, "F9"},     {kPasteModifiers, 0x79, "F10"},
    {kPasteModifiers, 0x2D, "Insert"},
};

struct ModifierName {
  unsigned bit;
  const char* name;
};
constexpr ModifierName kModifierNames[] = {
    {kModControl, "Ctrl+"}, {kModShift, "Shift+"}, {kModAlt, "Alt+"}};

constexpr char kTakenPrefix[] = "Hotkeys taken by another program: ";

// Windows that take Ctrl+C as an interrupt: the console, Windows Terminal, PuTTY and KiTTY,
// mintty, ConEmu.
constexpr const char* kInterruptingClasses[] = {
    "ConsoleWindowClass", "CASCADIA_HOSTING_WINDOW_CLASS", "PuTTY", "KiTTY", "mintty",
    "VirtualConsoleClass"};
constexpr ShortcutKey kCopyKey = {0x43, false};   // C
constexpr ShortcutKey kInsertKey = {0x2D, true};  // the Insert key beside Delete, not keypad 0
// Unassigned: a tap of it stands between an Alt or Windows key's press and its release.
constexpr unsigned char kVkMask = 0xE8;

// Appends while there is room; the text stays terminated.
void Append(char (&out)[kTakenNoticeSize], const char* text) {
  const std::size_t used = std::strlen(out);
  std::strncat(out, text, kTakenNoticeSize - 1 - used);
}

}  // namespace

const ModifierKey kModifierKeys[kModifierKeyCount] = {
    {0xA2, false, false},  // left Ctrl: down again first, so Alt comes back as part of Ctrl+Alt
    {0xA3, true, false},   // right Ctrl
    {0xA0, false, false},  // left Shift
    {0xA1, false, false},  // right Shift
    {0xA4, false, true},   // left Alt
    {0xA5, true, true},    // right Alt
    {0x5B, true, true},    // left Windows key
    {0x5C, true, true},    // right Windows key
};

HotkeyCombo SlotHotkey(int slot) {
  if (slot < 0 || slot >= kHotkeyCount) return {0, 0};
  return {kHotkeys[slot].modifiers, kHotkeys[slot].virtualKey};
}

int HotkeyId(int slot) {
  return slot + 1;
}

int SlotOfHotkeyId(long long id) {
  return id >= 1 && id <= kHotkeyCount ? static_cast<int>(id - 1) : -1;
}

void TakenHotkeysNotice(const bool (&taken)[kHotkeyCount], char (&out)[kTakenNoticeSize]) {
  out[0] = '\0';
  unsigned lastModifiers = 0;
  for (int slot = 0; slot < kHotkeyCount; ++slot) {
    if (!taken[slot]) continue;
    const HotkeyRow& row = kHotkeys[slot];
    Append(out, out[0] ? ", " : kTakenPrefix);
    // Keys after the first with the same modifiers are named by the key alone.
    if (row.modifiers != lastModifiers) {
      for (const ModifierName& m : kModifierNames) {
        if (row.modifiers & m.bit) Append(out, m.name);
      }
      lastModifiers = row.modifiers;
    }
    Append(out, row.keyName);
  }
}

ShortcutKey CopyKeyFor(const char* windowClass) {
  for (const char* name : kInterruptingClasses) {
    if (windowClass && !std::strcmp(windowClass, name)) return kInsertKey;
  }
  return kCopyKey;
}

std::size_t ShortcutKeystrokes(unsigned held, ShortcutKey key,
                               KeyStroke (&out)[kMaxPasteKeystrokes]) {
  std::size_t n = 0;
  const auto add = [&](unsigned char vk, bool up, bool extended, bool onlyIfHeld = false) {
    out[n++] = {vk, up, extended, onlyIfHeld};
  };
  const auto maskTap = [&] {
    add(kVkMask, false, false);
    add(kVkMask, true, false);
  };
  bool menuKeyHeld = false;
  for (int i = 0; i < kModifierKeyCount; ++i) {
    if (held & (1u << i)) menuKeyHeld = menuKeyHeld || kModifierKeys[i].opensMenu;
  }
  if (menuKeyHeld) maskTap();
  for (int i = 0; i < kModifierKeyCount; ++i) {
    if (held & (1u << i)) add(kModifierKeys[i].virtualKey, true, kModifierKeys[i].extended);
  }
  const ModifierKey& control = kModifierKeys[0];
  add(control.virtualKey, false, control.extended);
  add(key.virtualKey, false, key.extended);
  add(key.virtualKey, true, key.extended);
  add(control.virtualKey, true, control.extended);
  for (int i = 0; i < kModifierKeyCount; ++i) {
    if (held & (1u << i)) add(kModifierKeys[i].virtualKey, false, kModifierKeys[i].extended, true);
  }
  // The user's own release of Alt or Windows would otherwise come right after our press.
  if (menuKeyHeld) maskTap();
  return n;
}

}  // namespace pinnafex
