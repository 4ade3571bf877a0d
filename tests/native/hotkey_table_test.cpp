#include <cstring>
#include <set>

#include <gtest/gtest.h>

#include "clock/ticker.h"
#include "shell/hotkey_table.h"

namespace pinnafex {
namespace {

TEST(TakenHotkeysNotice, NamesTheTakenKeysAndTheirModifiersOnce) {
  const struct {
    std::set<int> taken;
    const char* expected;
  } rows[] = {
      {{}, ""},
      {{2, 9, 14, 19}, "Hotkeys taken by another program: Ctrl+Shift+Alt+3, 0, F5, F10"},
      {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19},
       "Hotkeys taken by another program: Ctrl+Shift+Alt+1, 2, 3, 4, 5, 6, 7, 8, 9, 0, F1, F2, "
       "F3, F4, F5, F6, F7, F8, F9, F10"},
  };
  for (const auto& row : rows) {
    bool taken[kSlotCount] = {};
    for (int slot : row.taken) taken[slot] = true;
    char out[kTakenNoticeSize];
    TakenHotkeysNotice(taken, out);
    EXPECT_STREQ(out, row.expected);
    EXPECT_LT(std::strlen(out), kTickerBufferSize);
  }
}

// Plays the paste for every set of held modifier keys against a model of the key state.
TEST(PasteKeystrokes, PlainCtrlVThenTheHeldKeysAgainAndNoAltOrWinReleasedAlone) {
  for (unsigned held = 0; held < (1u << kModifierKeyCount); ++held) {
    std::set<unsigned> down, alone;  // alone: Alt or Windows keys with nothing pressed since
    for (int i = 0; i < kModifierKeyCount; ++i) {
      if (held & (1u << i)) down.insert(kModifierKeys[i].virtualKey);
      if (held & (1u << i) && kModifierKeys[i].opensMenu) alone.insert(kModifierKeys[i].virtualKey);
    }
    const std::set<unsigned> heldKeys = down;
    KeyStroke strokes[kMaxPasteKeystrokes];
    int pastes = 0;
    for (std::size_t i = 0, n = PasteKeystrokes(held, strokes); i < n; ++i) {
      const unsigned key = strokes[i].virtualKey;
      if (strokes[i].up) {
        EXPECT_EQ(alone.count(key), 0u) << "held " << held << ": " << key << " opens a menu";
        down.erase(key);
        continue;
      }
      if (key == 'V') EXPECT_EQ(down, std::set<unsigned>{kModifierKeys[0].virtualKey}) << held;
      pastes += key == 'V';
      down.insert(key);
      alone.clear();
      for (const ModifierKey& m : kModifierKeys) {
        if (m.virtualKey == key && m.opensMenu) alone.insert(key);
      }
    }
    EXPECT_EQ(pastes, 1) << "held " << held;
    EXPECT_EQ(down, heldKeys) << "held " << held << ": the user's keys are down again";
    EXPECT_TRUE(alone.empty()) << "held " << held << ": the user's release would open a menu";
  }
}

}  // namespace
}  // namespace pinnafex
