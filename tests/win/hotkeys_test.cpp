#include "shell/hotkeys.h"

#include <gtest/gtest.h>

#include <string>

#include "clock/ticker.h"
#include "shell/hotkey_table.h"
#include "slots/slot_store.h"
#include "tests/win/dock_fixture.h"
#include "tests/win/slot_clipboard_test.h"

namespace pinnafex {
namespace {

int gMenuOpened = 0;  // the front window's menu bar was entered by a key

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HOTKEY) PasteHotkeySlot(wParam);
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) return ++gMenuOpened, 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

// A bar that takes the keys, another program's window, and a program in front with a menu bar.
class Hotkeys : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HotkeysTest";
    RegisterClassA(&wc);
    bar_ = CreateWindowExA(0, wc.lpszClassName, "bar", 0, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
    other_ = CreateWindowExA(0, wc.lpszClassName, "other", 0, 0, 0, 0, 0, nullptr, nullptr,
                             wc.hInstance, nullptr);
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "File");
    front_ = CreateWindowExA(0, wc.lpszClassName, "front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                             100, 300, 200, nullptr, menu, wc.hInstance, nullptr);
    edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 280, 100,
                            front_, nullptr, wc.hInstance, nullptr);
    ResetTicker();
    ReleaseAllSlots();
  }
  void TearDown() override {
    ReleaseHotkeys(bar_);
    ReleaseAllSlots();
    for (HWND w : {front_, other_, bar_}) DestroyWindow(w);
  }
  // Whether another program is refused the slot's key.
  bool Held(int slot) {
    const HotkeyCombo combo = SlotHotkey(slot);
    if (!RegisterHotKey(other_, 100, combo.modifiers, combo.virtualKey)) return true;
    UnregisterHotKey(other_, 100);
    return false;
  }
  std::string EditText() {
    char text[256] = "";
    GetWindowTextA(edit_, text, sizeof text);
    return text;
  }
  HWND bar_, other_, front_, edit_;
};

void Keys(std::initializer_list<std::pair<BYTE, bool>> strokes) {
  for (auto [key, up] : strokes) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
  }
}

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
  EXPECT_TRUE(Held(0) && Held(3) && Held(15));
  ReleaseHotkeys(bar_);
  EXPECT_TRUE(UnregisterHotKey(other_, 2) && UnregisterHotKey(other_, 14)) << "the other's, kept";
}

// The keys go through the system's input, so this holds the modifiers as a user does.
TEST_F(Hotkeys, AKeyPastesItsSlotIntoTheWindowInFrontWhileTheModifiersAreHeld) {
  for (auto [slot, text] : {std::pair{14, "fifteen "}, std::pair{2, "three"}}) {
    ASSERT_TRUE(slot_test::PutClipboardText(text));
    PushSlot(slot);
  }
  ApplyHotkeys(bar_, true);
  SetForegroundWindow(front_);
  SetFocus(edit_);
  Keys({{VK_LCONTROL, 0}, {VK_LSHIFT, 0}, {VK_LMENU, 0}, {VK_F5, 0}, {VK_F5, 1}});
  EXPECT_TRUE(dock_test::PumpUntil([&] { return EditText() == "fifteen "; }, 3000)) << EditText();
  Keys({{'3', 0}, {'3', 1}, {'1', 0}, {'1', 1}});  // slot 1 is empty: only a beep
  EXPECT_TRUE(dock_test::PumpUntil([&] { return EditText() == "fifteen three"; }, 3000));
  Keys({{VK_LMENU, 1}, {VK_LSHIFT, 1}, {VK_LCONTROL, 1}, {'X', 0}, {'X', 1}});
  EXPECT_TRUE(dock_test::PumpUntil([&] { return EditText() == "fifteen threex"; }, 3000))
      << EditText() << ": a modifier or the menu bar kept the key";
  EXPECT_EQ(slot_test::ClipboardText(), "three");
  EXPECT_EQ(gMenuOpened, 0);
}

}  // namespace
}  // namespace pinnafex
