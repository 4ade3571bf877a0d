#include "shell/hotkeys.h"

#include "clock/ticker.h"
#include "base/bar_ids.h"
#include "shell/hotkey_table.h"
#include "slots/slot_store.h"

namespace pinnafex {

namespace {

static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT,
              "hotkey modifiers as RegisterHotKey takes them");

// Windows 7 and later: holding the key down pastes once, not at the keyboard's repeat rate.
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT

bool gHeld[kSlotCount];  // the dialog holds the slot's key

bool Register(HWND dialog, int slot) {
  const HotkeyCombo combo = SlotHotkey(slot);
  const int id = HotkeyId(slot);
  // Older systems refuse the no-repeat flag; a key another program holds fails both.
  return RegisterHotKey(dialog, id, combo.modifiers | kNoRepeat, combo.virtualKey) ||
         RegisterHotKey(dialog, id, combo.modifiers, combo.virtualKey);
}

unsigned HeldModifierKeys() {
  unsigned held = 0;
  for (int i = 0; i < kModifierKeyCount; ++i) {
    if (GetAsyncKeyState(kModifierKeys[i].virtualKey) < 0) held |= 1u << i;
  }
  return held;
}

void SendKeystrokes(const KeyStroke* strokes, std::size_t count) {
  INPUT inputs[kMaxPasteKeystrokes] = {};
  for (std::size_t i = 0; i < count; ++i) {
    KEYBDINPUT& key = inputs[i].ki;
    inputs[i].type = INPUT_KEYBOARD;
    key.wVk = strokes[i].virtualKey;
    key.wScan = static_cast<WORD>(MapVirtualKeyA(strokes[i].virtualKey, MAPVK_VK_TO_VSC));
    key.dwFlags =
        (strokes[i].up ? KEYEVENTF_KEYUP : 0u) | (strokes[i].extended ? KEYEVENTF_EXTENDEDKEY : 0u);
  }
  SendInput(static_cast<UINT>(count), inputs, sizeof(INPUT));
}

}  // namespace

void ApplyHotkeys(HWND dialog, bool on) {
  ReleaseHotkeys(dialog);
  if (!on) return;
  bool taken[kSlotCount] = {};
  for (int slot = 0; slot < kSlotCount; ++slot) {
    gHeld[slot] = Register(dialog, slot);
    taken[slot] = !gHeld[slot];
  }
  char notice[kTakenNoticeSize] = "";
  TakenHotkeysNotice(taken, notice);
  if (notice[0]) ShowTickerNotice(notice, 0);
}

void ReleaseHotkeys(HWND dialog) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (gHeld[slot]) UnregisterHotKey(dialog, HotkeyId(slot));
    gHeld[slot] = false;
  }
}

ClipResult PasteHotkeySlot(HWND dialog, WPARAM id) {
  const int slot = SlotOfHotkeyId(static_cast<long long>(id));
  if (slot < 0) return ClipResult::kDone;
  if (!SlotBlock(slot)) {
    MessageBeep(MB_OK);
    return ClipResult::kDone;
  }
  // A Pop that did not happen leaves the old text on the clipboard: pasting that would put the
  // wrong text into the program in front.
  const ClipResult popped = PopSlot(dialog, slot);
  if (popped != ClipResult::kDone) return popped;
  KeyStroke strokes[kMaxPasteKeystrokes];
  SendKeystrokes(strokes, PasteKeystrokes(HeldModifierKeys(), strokes));
  return popped;
}

}  // namespace pinnafex
