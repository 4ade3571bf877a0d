#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "shell/hotkey_table.h"

namespace pinnafex {
namespace {

// Plays the paste for every set of held modifier keys against a model of the key state.
TEST(PasteKeystrokes, PlainCtrlVThenTheHeldKeysAgainAndNoAltOrWinReleasedAlone) {
  for (unsigned held = 0; held < (1u << kModifierKeyCount); ++held) {
    std::set<unsigned> down, alone;  // alone: an Alt or Windows key with nothing pressed since
    const auto press = [&](unsigned key) {
      down.insert(key);
      alone.clear();
      for (const ModifierKey& m : kModifierKeys) {
        if (m.virtualKey == key && m.opensMenu) alone.insert(key);
      }
    };
    for (int i = 0; i < kModifierKeyCount; ++i) {
      if (held & (1u << i)) press(kModifierKeys[i].virtualKey);
    }
    const std::set<unsigned> heldKeys = down, ctrlOnly = {kModifierKeys[0].virtualKey};
    KeyStroke strokes[kMaxPasteKeystrokes];
    int pastes = 0;
    for (std::size_t i = 0, n = PasteKeystrokes(held, strokes); i < n; ++i) {
      const unsigned key = strokes[i].virtualKey;
      EXPECT_FALSE(strokes[i].up && alone.count(key)) << held << ": " << key << " opens a menu";
      const bool paste = key == 'V' && !strokes[i].up;
      pastes += paste;
      if (paste) EXPECT_EQ(down, ctrlOnly) << held;
      strokes[i].up ? void(down.erase(key)) : press(key);
    }
    EXPECT_EQ(pastes, 1) << held;
    EXPECT_EQ(down, heldKeys) << held << ": the user's keys are down again";
    EXPECT_TRUE(alone.empty()) << held << ": the user's release would open a menu";
  }
}

// The notice names each taken key, its modifiers once; with every key taken it still fits.
TEST(TakenHotkeysNotice, NamesEachTakenKey) {
  const std::pair<unsigned, std::string> rows[] = {
      {0, ""},
      {1u << 2 | 1u << 14, "Hotkeys taken by another program: Ctrl+Shift+Alt+3, F5"},
      {(1u << kSlotCount) - 1,
       "Hotkeys taken by another program: Ctrl+Shift+Alt+1, 2, 3, 4, 5, 6, "
       "7, 8, 9, 0, F1, F2, F3, F4, F5, F6, F7, F8, F9, F10"},
  };
  for (const auto& [mask, text] : rows) {
    bool taken[kSlotCount] = {};
    for (int slot = 0; slot < kSlotCount; ++slot) taken[slot] = mask >> slot & 1;
    char out[kTakenNoticeSize];
    TakenHotkeysNotice(taken, out);
    EXPECT_EQ(out, text);
  }
}

}  // namespace
}  // namespace pinnafex
