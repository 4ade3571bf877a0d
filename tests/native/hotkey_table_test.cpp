#include <cstdio>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "shell/copy_arming.h"
#include "shell/hotkey_table.h"

namespace pinnafex {
namespace {

// Renders keystrokes as "A0 2De 2De^ A0^": virtual key in hex, e for the extended flag, ^ for up.
std::string Strokes(ShortcutKey key) {
  KeyStroke strokes[kMaxPasteKeystrokes];
  std::string out;
  if (!key.virtualKey) return out;
  for (std::size_t i = 0, n = ShortcutKeystrokes(0, key, strokes); i < n; ++i) {
    char text[8];
    std::snprintf(text, sizeof text, "%s%02X%s%s", i ? " " : "", strokes[i].virtualKey,
                  strokes[i].extended ? "e" : "", strokes[i].up ? "^" : "");
    out += text;
  }
  return out;
}

// The keystrokes each window gets to paste and to copy: a terminal's own, Insert beside Delete
// (extended), never the keypad's 0.
TEST(Hotkeys, EachWindowGetsItsOwnPasteAndCopyKeys) {
  const std::string ctrlV = "A2 56 56^ A2^", ctrlC = "A2 43 43^ A2^", shiftIns = "A0 2De 2De^ A0^",
                    ctrlIns = "A2 2De 2De^ A2^", ctrlShiftV = "A2 A0 56 56^ A2^ A0^",
                    ctrlShiftC = "A2 A0 43 43^ A2^ A0^";
  const std::tuple<const char*, const char*, unsigned, std::string, std::string> rows[] = {
      {"Notepad", "notepad.exe", 10, ctrlV, ctrlC},
      {"ConsoleWindowClass", "conhost.exe", 10, shiftIns, ctrlIns},
      {"ConsoleWindowClass", "conhost.exe", 6, "", ""},  // Windows 7: no key at all
      {"CASCADIA_HOSTING_WINDOW_CLASS", "WindowsTerminal.exe", 10, ctrlShiftV, ctrlShiftC},
      {"PuTTY", "putty.exe", 10, shiftIns, ctrlIns},
      {"KiTTY", "kitty.exe", 6, shiftIns, ctrlIns},
      {"mintty", "mintty.exe", 10, shiftIns, ctrlIns},
      {"VirtualConsoleClass", "ConEmu64.exe", 10, shiftIns, ctrlIns},
      {"Window Class", "Alacritty.EXE", 10, ctrlShiftV, ctrlShiftC},
      {"Window Class", "game.exe", 10, ctrlV, ctrlC},
      {"org.wezfurlong.wezterm", "wezterm-gui.exe", 10, ctrlShiftV, ctrlShiftC},
  };
  for (const auto& [cls, exe, major, paste, copy] : rows) {
    const WindowKeys keys = KeysFor(cls, exe, major);
    EXPECT_EQ(Strokes(keys.paste), paste) << cls << " " << exe;
    EXPECT_EQ(Strokes(keys.copy), copy) << cls << " " << exe;
  }
}

// Plays a paste and a terminal's paste and copy for every set of held modifier keys against a
// model of the key state, with the user still holding them and with the user having let go
// (the keystrokes marked for that dropped).
TEST(Hotkeys, PlainShortcutThenOnlyTheHeldKeysAgainAndTheTakenOnesNamed) {
  const ShortcutKey shortcuts[] = {KeysFor("Notepad", "", 10).paste, KeysFor("PuTTY", "", 10).paste,
                                   KeysFor("CASCADIA_HOSTING_WINDOW_CLASS", "", 10).copy};
  for (unsigned run = 0; run < 3 * (2u << kModifierKeyCount); ++run) {
    const unsigned held = run % (1u << kModifierKeyCount);
    const bool letGo = run >> kModifierKeyCount & 1;
    const ShortcutKey shortcut = shortcuts[run >> (kModifierKeyCount + 1)];
    std::set<unsigned> down, alone;  // alone: an Alt or Windows key with nothing pressed since
    const auto press = [&](unsigned key) {
      down.insert(key);
      alone.clear();
      for (const ModifierKey& m : kModifierKeys)
        if (m.virtualKey == key && m.opensMenu) alone.insert(key);
    };
    for (int i = 0; i < kModifierKeyCount; ++i)
      if (held & (1u << i)) press(kModifierKeys[i].virtualKey);
    const std::set<unsigned> heldKeys = letGo ? std::set<unsigned>{} : down;
    std::set<unsigned> modifiersOnly;
    if (shortcut.modifiers & kModControl) modifiersOnly.insert(kModifierKeys[0].virtualKey);
    if (shortcut.modifiers & kModShift) modifiersOnly.insert(kModifierKeys[2].virtualKey);
    KeyStroke strokes[kMaxPasteKeystrokes];
    int pastes = 0;
    for (std::size_t i = 0, n = ShortcutKeystrokes(held, shortcut, strokes); i < n; ++i) {
      const unsigned key = strokes[i].virtualKey;
      if (letGo && strokes[i].onlyIfHeld) continue;
      EXPECT_FALSE(strokes[i].up && alone.count(key)) << held << ": " << key << " opens a menu";
      const bool paste = key == shortcut.virtualKey && !strokes[i].up;
      pastes += paste;
      if (paste) EXPECT_EQ(down, modifiersOnly) << held;
      strokes[i].up ? void(down.erase(key)) : press(key);
    }
    EXPECT_EQ(pastes, 1) << held;
    EXPECT_EQ(down, heldKeys) << held << ": the keys down are the user's";
    EXPECT_TRUE(letGo || alone.empty()) << held << ": the user's release would open a menu";
  }
  // The notice of keys taken names each, its modifiers once; with every key taken it still fits.
  const std::pair<unsigned, std::string> rows[] = {
      {0, ""},
      {1u << 2 | 1u << 14 | 1u << kCopyHotkey,
       "Hotkeys taken by another program: Ctrl+Shift+Alt+3, F5, Insert"},
      {(1u << kHotkeyCount) - 1,
       "Hotkeys taken by another program: Ctrl+Shift+Alt+1, 2, 3, 4, 5, "
       "6, 7, 8, 9, 0, F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, Insert"},
  };
  for (const auto& [mask, text] : rows) {
    bool taken[kHotkeyCount] = {};
    for (int key = 0; key < kHotkeyCount; ++key) taken[key] = mask >> key & 1;
    char out[kTakenNoticeSize];
    TakenHotkeysNotice(taken, out);
    EXPECT_EQ(out, text);
  }
}

// Keys (slot index 3) and ticks at times in ms, with the clipboard's sequence number.
TEST(CopyArming, TheSlotKeyCopiesWithinThreeSecondsAndTheClipboardDecidesWithinOne) {
  constexpr KeyEvent C = KeyEvent::kCopyKey, S = KeyEvent::kSlotKey, T = KeyEvent::kTick;
  using A = KeyAction;
  constexpr unsigned W = 0u - 1000;  // a second before the millisecond count wraps
  const std::tuple<KeyEvent, unsigned, unsigned, KeyAction> steps[] = {
      {S, 0, 7, A::kPaste},      {C, 0, 7, A::kArm},
      {T, 2999, 7, A::kNone},    {S, 2999, 7, A::kCopy},
      {S, 3000, 7, A::kBusy},    {C, 3000, 7, A::kBusy},
      {T, 3998, 7, A::kNone},    {T, 3999, 8, A::kPush},
      {S, 4000, 8, A::kPaste},   {C, W, 8, A::kArm},
      {C, 500, 8, A::kDisarm},   {S, 600, 8, A::kPaste},
      {C, 1, 8, A::kArm},        {T, 3000, 8, A::kNone},
      {T, 3001, 8, A::kDisarm},  {C, 4000, 8, A::kArm},
      {S, 7000, 8, A::kPaste},   {C, 8000, 8, A::kArm},
      {C, 11000, 8, A::kArm},    {S, 13999, 8, A::kCopy},
      {T, 14998, 8, A::kNone},   {T, 14999, 8, A::kNothingCopied},
      {T, 15000, 9, A::kNone},   {C, W, 9, A::kArm},
      {S, W + 500, 9, A::kCopy}, {T, W + 999, 9, A::kNone},  // the wait across the wrap
      {T, 499, 9, A::kNone},     {T, 500, 9, A::kNothingCopied},
  };
  CopyArming state;
  for (const auto& [event, atMs, sequence, expected] : steps) {
    EXPECT_EQ(StepCopyArming(state, event, 3, atMs, sequence), expected) << "at " << atMs;
    if (expected == A::kPush) EXPECT_EQ(state.slot, 3);
  }
}

}  // namespace
}  // namespace pinnafex
