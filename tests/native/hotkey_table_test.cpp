#include <set>
#include <string>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "shell/copy_arming.h"
#include "shell/hotkey_table.h"

namespace pinnafex {
namespace {

// Plays the paste and both copies for every set of held modifier keys against a model of the
// key state, with the user still holding them and with the user having let go (the keystrokes
// marked for that dropped).
TEST(Hotkeys, PlainCtrlKeyThenOnlyTheHeldKeysAgainAndTheTakenOnesNamed) {
  const ShortcutKey shortcuts[] = {kPasteKey, CopyKeyFor("Notepad"),
                                   CopyKeyFor("ConsoleWindowClass")};
  EXPECT_NE(shortcuts[1].virtualKey, shortcuts[2].virtualKey) << "a console gets no Ctrl+C";
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
    const std::set<unsigned> ctrlOnly = {kModifierKeys[0].virtualKey};
    KeyStroke strokes[kMaxPasteKeystrokes];
    int pastes = 0;
    for (std::size_t i = 0, n = ShortcutKeystrokes(held, shortcut, strokes); i < n; ++i) {
      const unsigned key = strokes[i].virtualKey;
      if (letGo && strokes[i].onlyIfHeld) continue;
      EXPECT_FALSE(strokes[i].up && alone.count(key)) << held << ": " << key << " opens a menu";
      const bool paste = key == shortcut.virtualKey && !strokes[i].up;
      pastes += paste;
      if (paste) EXPECT_EQ(down, ctrlOnly) << held;
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
      {S, 0, 7, A::kPaste},     {C, 0, 7, A::kArm},
      {T, 2999, 7, A::kNone},   {S, 2999, 7, A::kCopy},
      {S, 3000, 7, A::kBusy},   {C, 3000, 7, A::kBusy},
      {T, 3998, 7, A::kNone},   {T, 3999, 8, A::kPush},
      {S, 4000, 8, A::kPaste},  {C, W, 8, A::kArm},
      {C, 500, 8, A::kDisarm},  {S, 600, 8, A::kPaste},
      {C, 1, 8, A::kArm},       {T, 3000, 8, A::kNone},
      {T, 3001, 8, A::kDisarm}, {C, 4000, 8, A::kArm},
      {S, 7000, 8, A::kPaste},  {C, 8000, 8, A::kArm},
      {C, 11000, 8, A::kArm},   {S, 13999, 8, A::kCopy},
      {T, 14998, 8, A::kNone},  {T, 14999, 8, A::kNothingCopied},
      {T, 15000, 9, A::kNone},
  };
  CopyArming state;
  for (const auto& [event, atMs, sequence, expected] : steps) {
    EXPECT_EQ(StepCopyArming(state, event, 3, atMs, sequence), expected) << "at " << atMs;
    if (expected == A::kPush) EXPECT_EQ(state.slot, 3);
  }
}

}  // namespace
}  // namespace pinnafex
