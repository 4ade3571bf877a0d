#include "shell/hotkeys.h"

#include <gtest/gtest.h>

#include "clipboard_helpers.h"
#include "clock/ticker.h"
#include "shell/hotkey_table.h"
#include "slots/slot_store.h"

namespace pinnafex {
namespace {

// Registers the slot's key for another program's window; false when it is taken.
bool TakeFor(HWND other, int slot) {
  const HotkeyCombo combo = SlotHotkey(slot);
  return RegisterHotKey(other, slot, combo.modifiers, combo.virtualKey);
}

UINT WINAPI SendNothing(UINT, LPINPUT, int) {
  return 0;
}

TEST(Hotkeys, TheSettingTakesTheFreeKeysNamesTheOthersDispatchesAndReleasesOnlyItsOwn) {
  HWND bar = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ResetTicker();
  ApplyHotkeys(bar, true);
  EXPECT_STREQ(gTickerBuffer, "") << "a notice with no key taken";
  ApplyHotkeys(bar, false);
  ASSERT_TRUE(TakeFor(other, 2) && TakeFor(other, 14) && TakeFor(other, kCopyHotkey));
  ApplyHotkeys(bar, true);
  EXPECT_STREQ(gTickerBuffer, "Hotkeys taken by another program: Ctrl+Shift+Alt+3, F5, Insert");
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (slot != 2 && slot != 14) EXPECT_FALSE(TakeFor(other, slot)) << slot;
  }
  // Slot 20's key pops it (and pastes into whatever is in front); ids of no slot and slot 1's,
  // which is empty, leave the clipboard alone.
  ASSERT_TRUE(Put({Text("twenty")}));
  PushSlot(bar, 19);
  ASSERT_TRUE(Put({Text("before")}));
  for (WPARAM id : {WPARAM{0}, WPARAM{22}, ~WPARAM{0}, WPARAM{1}})
    EXPECT_EQ(ActOnHotkey(bar, id).popped, ClipResult::kDone);
  EXPECT_EQ(Clipboard(CF_TEXT, true), "before");
  // Input blocked: the slot is on the clipboard, and the user is told the paste did not go.
  gSendInput = SendNothing;
  EXPECT_EQ(ActOnHotkey(bar, HotkeyId(19)).popped, ClipResult::kDone);
  gSendInput = SendInput;
  EXPECT_EQ(Clipboard(CF_TEXT, true), "twenty");
  EXPECT_STREQ(gTickerBuffer, "The keys could not be sent");
  // Shift down for the system, let go of by the user's hand: the paste leaves it up. A fresh
  // watch counts slot 20's key as let go of.
  ApplyHotkeys(bar, true);
  INPUT shift{INPUT_KEYBOARD, {}};
  shift.ki.wVk = VK_LSHIFT;
  ASSERT_EQ(SendInput(1, &shift, sizeof shift), 1u);
  EXPECT_EQ(ActOnHotkey(bar, HotkeyId(19)).popped, ClipResult::kDone);
  EXPECT_GE(GetAsyncKeyState(VK_LSHIFT), 0) << "pressed again by the paste";
  ApplyHotkeys(bar, false);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    EXPECT_EQ(TakeFor(other, slot), slot != 2 && slot != 14) << slot << ": the other's two kept";
  }
  ReleaseAllSlots();
  DestroyWindow(other);
  DestroyWindow(bar);
}

}  // namespace
}  // namespace pinnafex
