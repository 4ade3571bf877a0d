// The keys that paste a slot into the program in front and the key that arms a copy: each
// combination, the notice naming the ones another program holds, and the keystrokes of the paste
// and the copy themselves.
#pragma once
#include <cstddef>

#include "base/bar_ids.h"

namespace pinnafex {

// Modifier bits and virtual keys as the platform numbers them; its headers stay out of here.
constexpr unsigned kModAlt = 0x1;
constexpr unsigned kModControl = 0x2;
constexpr unsigned kModShift = 0x4;

struct HotkeyCombo {
  unsigned modifiers;
  unsigned char virtualKey;
};

// The slots' keys, then the copy key.
constexpr int kHotkeyCount = kSlotCount + 1;
constexpr int kCopyHotkey = kSlotCount;

// The combination of slot index 0..19, or of kCopyHotkey.
HotkeyCombo SlotHotkey(int slot);

// A hotkey's id is the slot number as the user counts it (1..20), the copy key's 21; the slot
// index of an id (kCopyHotkey for the copy key), or -1.
int HotkeyId(int slot);
int SlotOfHotkeyId(long long id);

// What the clock field says when a key cannot do its work.
constexpr char kNotKeptNotice[] = "Your clipboard could not be kept";
constexpr char kWindowChangedNotice[] = "The paste was cancelled: the window changed";
constexpr char kCopyWindowChangedNotice[] = "The copy was cancelled: the window changed";
constexpr char kElevatedNotice[] = "Pinnafex cannot paste into an elevated window";
constexpr char kNoPasteKeyNotice[] = "This window cannot paste by key";
constexpr char kNoCopyKeyNotice[] = "This window cannot copy by key";

// Room for the notice with every key named.
constexpr std::size_t kTakenNoticeSize = 160;

// Writes the notice naming the keys of the slots marked taken, e.g.
// "Hotkeys taken by another program: Ctrl+Shift+Alt+3, 0, F5"; an empty text when none is.
void TakenHotkeysNotice(const bool (&taken)[kHotkeyCount], char (&out)[kTakenNoticeSize]);

struct KeyStroke {
  unsigned char virtualKey;
  bool up;
  bool extended;    // the right-hand Ctrl and Alt and the Windows keys
  bool onlyIfHeld;  // a modifier pressed again: dropped if the user has let go of it meanwhile
};

// The modifier keys a user may still hold when a hotkey arrives, in the order they go down again.
struct ModifierKey {
  unsigned char virtualKey;
  bool extended;
  bool opensMenu;  // Alt and Windows: released alone, they open a menu bar or the Start menu
};
constexpr int kModifierKeyCount = 8;
extern const ModifierKey kModifierKeys[kModifierKeyCount];

constexpr std::size_t kMaxPasteKeystrokes = 2 * kModifierKeyCount + 10;

// A shortcut the bar sends: `virtualKey` with Ctrl and/or Shift (kModControl, kModShift).
// No key (0): the window takes none for this.
struct ShortcutKey {
  unsigned modifiers;
  unsigned char virtualKey;
  bool extended;  // Insert beside Delete, not the keypad's 0
};

// How a window pastes and copies by key.
struct WindowKeys {
  ShortcutKey paste;
  ShortcutKey copy;
};

// The keys of a window of class `windowClass`, of the program file `exeName` (lower or upper
// case), on Windows `windowsMajor`: Ctrl+V and Ctrl+C, but a terminal's own, which take Ctrl+V
// as a character and Ctrl+C as an interrupt.
WindowKeys KeysFor(const char* windowClass, const char* exeName, unsigned windowsMajor);

// The keystrokes of `key` while the modifier keys in `held` (bit i: kModifierKeys[i]) are down:
// they go up first, so that the program in front sees the shortcut alone, and down again after
// it, so that the next hotkey works while they are still held. Returns the count.
std::size_t ShortcutKeystrokes(unsigned held, ShortcutKey key,
                               KeyStroke (&out)[kMaxPasteKeystrokes]);

}  // namespace pinnafex
