#include "shell/hotkeys.h"

#include <gtest/gtest.h>

#include "clipboard_helpers.h"
#include "clock/ticker.h"
#include "shell/hotkey_table.h"
#include "slots/slot_store.h"

namespace pinnafex {
namespace {

UINT WINAPI SendNothing(UINT, LPINPUT, int) {
  return 0;
}

// What cannot be driven from outside: input blocked, and a modifier the system holds down that
// the user has let go of. (Keys taken by another program, the keys let go, ids of no key and
// the paste itself are checked end to end.)
TEST(Hotkeys, BlockedInputIsToldAndALetGoModifierStaysUp) {
  HWND bar = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ResetTicker();
  ApplyHotkeys(bar, true);
  ASSERT_TRUE(Put({Text("twenty")}));
  PushSlot(bar, 19);
  ASSERT_TRUE(Put({Text("before")}));
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
  ReleaseAllSlots();
  DestroyWindow(bar);
}

}  // namespace
}  // namespace pinnafex
