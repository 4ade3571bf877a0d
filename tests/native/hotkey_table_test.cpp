#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>

#include <gtest/gtest.h>

#include "clock/ticker.h"
#include "shell/hotkey_table.h"

namespace pinnafex {
namespace {

TEST(TakenHotkeysNotice, NamesTheTakenKeysModifiersOnce) {
  const struct {
    std::set<int> taken;
    const char* expected;
  } rows[] = {
      {{}, ""},
      {{2}, "Hotkeys taken by another program: Ctrl+Shift+Alt+3"},
      {{2, 9, 14, 19}, "Hotkeys taken by another program: Ctrl+Shift+Alt+3, 0, F5, F10"},
  };
  for (const auto& row : rows) {
    bool taken[kSlotCount] = {};
    for (int slot : row.taken) taken[slot] = true;
    char out[kTakenNoticeSize];
    TakenHotkeysNotice(taken, out);
    EXPECT_STREQ(out, row.expected);
  }
  bool all[kSlotCount];
  std::fill(std::begin(all), std::end(all), true);
  char out[kTakenNoticeSize];
  TakenHotkeysNotice(all, out);
  EXPECT_LT(std::strlen(out), kTakenNoticeSize - 1) << "cut: " << out;
  EXPECT_LT(std::strlen(out), kTickerBufferSize);
}

// Plays the paste for every set of held modifier keys against a model of the key state.
TEST(PasteKeystrokes, PlainCtrlVThenTheHeldKeysAgainAndNoAltOrWinAlone) {
  for (unsigned held = 0; held < (1u << kModifierKeyCount); ++held) {
    std::set<unsigned> down, alone;  // alone: an Alt or Windows key with nothing pressed since
    for (int i = 0; i < kModifierKeyCount; ++i) {
      if (held & (1u << i)) down.insert(kModifierKeys[i].virtualKey);
      if (held & (1u << i) && kModifierKeys[i].opensMenu) alone.insert(kModifierKeys[i].virtualKey);
    }
    const std::set<unsigned> heldKeys = down;
    KeyStroke strokes[kMaxPasteKeystrokes];
    const std::size_t n = PasteKeystrokes(held, strokes);
    int pastes = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const KeyStroke& s = strokes[i];
      if (s.up) {
        EXPECT_EQ(alone.count(s.virtualKey), 0u)
            << "held " << held << ": key " << +s.virtualKey << " released alone opens a menu";
        down.erase(s.virtualKey);
        continue;
      }
      alone.clear();
      if (s.virtualKey == 'V') {
        ++pastes;
        EXPECT_EQ(down, std::set<unsigned>{kModifierKeys[0].virtualKey}) << "held " << held;
      }
      down.insert(s.virtualKey);
      for (const ModifierKey& m : kModifierKeys) {
        if (m.virtualKey == s.virtualKey && m.opensMenu) alone.insert(s.virtualKey);
      }
    }
    EXPECT_EQ(pastes, 1) << "held " << held;
    EXPECT_EQ(down, heldKeys) << "held " << held << ": the user's keys are down again";
    EXPECT_TRUE(alone.empty()) << "held " << held << ": the user's release would open a menu";
  }
}

TEST(HotkeyIds, MapBackToTheirSlotOnly) {
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(SlotOfHotkeyId(HotkeyId(slot)), slot);
  for (long long id : {0LL, -1LL, -2LL, 21LL, 0x10000000001LL}) EXPECT_EQ(SlotOfHotkeyId(id), -1);
}

}  // namespace
}  // namespace pinnafex
