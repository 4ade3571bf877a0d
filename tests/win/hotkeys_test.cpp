#include "shell/hotkeys.h"

#include <gtest/gtest.h>

#include "clock/ticker.h"
#include "shell/hotkey_table.h"
#include "slots/slot_store.h"
#include "tests/win/dock_fixture.h"
#include "tests/win/slot_clipboard_test.h"

namespace pinnafex {
namespace {

HWND NewWindow(const char* cls, DWORD style) {
  return CreateWindowExA(0, cls, "", style, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
}

class Hotkeys : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTicker();
    ReleaseAllSlots();
  }
  void TearDown() override {
    ReleaseHotkeys(bar_);
    ReleaseAllSlots();
    for (HWND w : {bar_, other_, front_}) DestroyWindow(w);
  }
  // Whether another program is refused the slot's key.
  bool Held(int slot) {
    const HotkeyCombo combo = SlotHotkey(slot);
    if (!RegisterHotKey(other_, 100, combo.modifiers, combo.virtualKey)) return true;
    return !UnregisterHotKey(other_, 100);
  }
  HWND bar_ = NewWindow("STATIC", 0), other_ = NewWindow("STATIC", 0);
  HWND front_ = NewWindow("EDIT", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
};

TEST_F(Hotkeys, TheSettingTakesAndReleasesEveryKey) {
  for (bool on : {true, false, true}) {
    ApplyHotkeys(bar_, on);
    for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(Held(slot), on) << "slot " << slot;
  }
  ReleaseHotkeys(bar_);
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_FALSE(Held(slot)) << "slot " << slot;
  EXPECT_STREQ(TickerBuffer, "") << "a notice with no key taken";
}

TEST_F(Hotkeys, AKeyAnotherProgramHoldsIsLeftToItAndNamed) {
  for (int slot : {2, 14}) {
    const HotkeyCombo combo = SlotHotkey(slot);
    ASSERT_TRUE(RegisterHotKey(other_, slot, combo.modifiers, combo.virtualKey));
  }
  ApplyHotkeys(bar_, true);
  EXPECT_STREQ(TickerBuffer, "Hotkeys taken by another program: Ctrl+Shift+Alt+3, F5");
  EXPECT_TRUE(Held(0) && Held(3) && Held(19));
  ReleaseHotkeys(bar_);
  EXPECT_TRUE(UnregisterHotKey(other_, 2) && UnregisterHotKey(other_, 14)) << "the other's, kept";
}

TEST_F(Hotkeys, AKeyPastesItsSlotIntoTheWindowInFrontAndAnEmptyOneNothing) {
  ASSERT_TRUE(slot_test::PutClipboardText("fifteen"));
  PushSlot(14);
  ASSERT_TRUE(slot_test::PutClipboardText("before"));
  SetForegroundWindow(front_);
  for (WPARAM id : {WPARAM{0}, WPARAM{21}, ~WPARAM{0}}) PasteHotkeySlot(id);  // not a slot's
  PasteHotkeySlot(HotkeyId(0));                                               // empty: only a beep
  PasteHotkeySlot(HotkeyId(14));
  char text[64] = "";
  EXPECT_TRUE(dock_test::PumpUntil([&] { return GetWindowTextA(front_, text, 64) == 7; }, 3000));
  EXPECT_STREQ(text, "fifteen");
  EXPECT_EQ(slot_test::ClipboardText(), "fifteen");
}

}  // namespace
}  // namespace pinnafex
