#include <set>

#include <gtest/gtest.h>

#include "shell/hotkey_table.h"

namespace pinnafex {
namespace {

// Plays the paste and both copy keystrokes for every set of held modifier keys against a model
// of the key state, once with the user still holding them and once with the user having let go
// (the keystrokes marked for that dropped).
TEST(ShortcutKeystrokes, PlainCtrlKeyThenOnlyTheHeldKeysAgainAndNoAltOrWinReleasedAlone) {
  const ShortcutKey keys[] = {kPasteKey, CopyKeyFor("Notepad"), CopyKeyFor("ConsoleWindowClass")};
  EXPECT_NE(keys[1].virtualKey, keys[2].virtualKey) << "a console gets no Ctrl+C";
  for (const ShortcutKey key : keys) {
    for (unsigned held = 0; held < (2u << kModifierKeyCount); ++held) {
      const bool letGo = held >> kModifierKeyCount;
      std::set<unsigned> down, alone;  // alone: an Alt or Windows key with nothing pressed since
      const auto press = [&](unsigned vk) {
        down.insert(vk);
        alone.clear();
        for (const ModifierKey& m : kModifierKeys) {
          if (m.virtualKey == vk && m.opensMenu) alone.insert(vk);
        }
      };
      for (int i = 0; i < kModifierKeyCount; ++i) {
        if (held & (1u << i)) press(kModifierKeys[i].virtualKey);
      }
      const std::set<unsigned> heldKeys = letGo ? std::set<unsigned>{} : down;
      const std::set<unsigned> ctrlOnly = {kModifierKeys[0].virtualKey};
      KeyStroke strokes[kMaxPasteKeystrokes];
      int shortcuts = 0;
      for (std::size_t i = 0, n = ShortcutKeystrokes(held, key, strokes); i < n; ++i) {
        const unsigned vk = strokes[i].virtualKey;
        if (letGo && strokes[i].onlyIfHeld) continue;
        EXPECT_FALSE(strokes[i].up && alone.count(vk)) << held << ": " << vk << " opens a menu";
        const bool shortcut = vk == key.virtualKey && !strokes[i].up;
        shortcuts += shortcut;
        if (shortcut) EXPECT_EQ(down, ctrlOnly) << held;
        strokes[i].up ? void(down.erase(vk)) : press(vk);
      }
      EXPECT_EQ(shortcuts, 1) << held;
      EXPECT_EQ(down, heldKeys) << held << ": the keys down are the user's";
      EXPECT_TRUE(letGo || alone.empty()) << held << ": the user's release would open a menu";
    }
  }
}

}  // namespace
}  // namespace pinnafex
