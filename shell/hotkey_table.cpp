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

constexpr unsigned char kVkInsert = 0x2D;
constexpr ShortcutKey kNoKey = {0, 0, false};
constexpr ShortcutKey kCtrlV = {kModControl, 0x56, false};
constexpr ShortcutKey kCtrlC = {kModControl, 0x43, false};
constexpr ShortcutKey kCtrlShiftV = {kModControl | kModShift, 0x56, false};
constexpr ShortcutKey kCtrlShiftC = {kModControl | kModShift, 0x43, false};
constexpr ShortcutKey kShiftInsert = {kModShift, kVkInsert, true};
constexpr ShortcutKey kCtrlInsert = {kModControl, kVkInsert, true};

// Terminals, by window class (and program file where the class is a toolkit's own), each with
// the keys it documents; the first row that matches counts. Ctrl+V types a character in them
// and Ctrl+C interrupts.
struct TerminalRow {
  const char* windowClass;
  const char* exeName;    // null: any program
  unsigned windowsMajor;  // the row holds from this Windows version on
  WindowKeys keys;
};
constexpr TerminalRow kTerminals[] = {
    // The console of Windows 10 and later; before it the console took no paste or copy key.
    {"ConsoleWindowClass", nullptr, 10, {kShiftInsert, kCtrlInsert}},
    {"ConsoleWindowClass", nullptr, 0, {kNoKey, kNoKey}},
    {"CASCADIA_HOSTING_WINDOW_CLASS", nullptr, 0, {kCtrlShiftV, kCtrlShiftC}},  // Windows Terminal
    {"PuTTY", nullptr, 0, {kShiftInsert, kCtrlInsert}},
    {"KiTTY", nullptr, 0, {kShiftInsert, kCtrlInsert}},
    {"mintty", nullptr, 0, {kShiftInsert, kCtrlInsert}},
    {"VirtualConsoleClass", nullptr, 0, {kShiftInsert, kCtrlInsert}},  // ConEmu
    {"Alacritty", nullptr, 0, {kCtrlShiftV, kCtrlShiftC}},
    {"Window Class", "alacritty.exe", 0, {kCtrlShiftV, kCtrlShiftC}},  // its toolkit's class
    {"org.wezfurlong.wezterm", nullptr, 0, {kCtrlShiftV, kCtrlShiftC}},
};

bool SameName(const char* a, const char* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b) {
    const auto lower = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(*a) != lower(*b)) return false;
  }
  return *a == *b;
}

// The modifiers of a shortcut, each pressed as its left-hand key (kModifierKeys).
struct ShortcutModifier {
  unsigned bit;
  int key;
};
constexpr ShortcutModifier kShortcutModifiers[] = {{kModControl, 0}, {kModShift, 2}};

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

WindowKeys KeysFor(const char* windowClass, const char* exeName, unsigned windowsMajor) {
  for (const TerminalRow& row : kTerminals) {
    if (windowClass && !std::strcmp(windowClass, row.windowClass) &&
        (!row.exeName || SameName(row.exeName, exeName)) && windowsMajor >= row.windowsMajor) {
      return row.keys;
    }
  }
  return {kCtrlV, kCtrlC};
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
  for (const ShortcutModifier& m : kShortcutModifiers) {
    if (key.modifiers & m.bit)
      add(kModifierKeys[m.key].virtualKey, false, kModifierKeys[m.key].extended);
  }
  add(key.virtualKey, false, key.extended);
  add(key.virtualKey, true, key.extended);
  for (const ShortcutModifier& m : kShortcutModifiers) {
    if (key.modifiers & m.bit)
      add(kModifierKeys[m.key].virtualKey, true, kModifierKeys[m.key].extended);
  }
  for (int i = 0; i < kModifierKeyCount; ++i) {
    if (held & (1u << i)) add(kModifierKeys[i].virtualKey, false, kModifierKeys[i].extended, true);
  }
  // The user's own release of Alt or Windows would otherwise come right after our press.
  if (menuKeyHeld) maskTap();
  return n;
}

}  // namespace pinnafex
