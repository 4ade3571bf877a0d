// Which WM_HOTKEY is a press of its own: the key watch counts the presses of each key (the
// user's and other programs', never the bar's own keystrokes), and each press acts once.
#pragma once

namespace pinnafex {

// A key as the watch saw it: presses counted (a key going down while up), whether it is down,
// and when it last went up (the millisecond count, which wraps).
struct WatchedKey {
  unsigned presses = 0;
  bool down = false;
  unsigned upMs = 0;
};

enum class PressVerdict {
  kAct,        // a press not yet acted on
  kRepeat,     // the key held down, or a repeat queued before it went up
  kWatchLost,  // the watch missed this press: the system dropped it, or it disagrees with the
               // system's key state
};

// A WM_HOTKEY sent at `hotkeyMs` for a key the watch sees as `key`; `acted` counts the presses
// acted on so far and goes up with kAct. `agrees`: the watch's modifier keys match the system's.
PressVerdict JudgeHotkey(const WatchedKey& key, unsigned& acted, unsigned hotkeyMs, bool agrees);

}  // namespace pinnafex

namespace pinnafex {

// Slot presses waiting, in order, for the paste before them to be read.
constexpr unsigned kQueuedPressCapacity = 32;
struct PressQueue {
  int slots[kQueuedPressCapacity] = {};
  unsigned first = 0;
  unsigned count = 0;
};
// False when full: the press is dropped rather than pasted out of order.
bool QueuePress(PressQueue& queue, int slot);
// The oldest press's slot, taken off the queue; -1 when none waits.
int NextPress(PressQueue& queue);

}  // namespace pinnafex
