#include "shell/hotkey_presses.h"

namespace pinnafex {

PressVerdict JudgeHotkey(const WatchedKey& key, unsigned& acted, unsigned hotkeyMs, bool agrees) {
  if (!agrees) return PressVerdict::kWatchLost;
  // Differences, not comparisons: both counts and the clock wrap.
  if (static_cast<int>(key.presses - acted) > 0) {
    ++acted;
    return PressVerdict::kAct;
  }
  if (key.down || static_cast<int>(hotkeyMs - key.upMs) <= 0) return PressVerdict::kRepeat;
  return PressVerdict::kWatchLost;
}

}  // namespace pinnafex

namespace pinnafex {

bool QueuePress(PressQueue& queue, int slot) {
  if (queue.count == kQueuedPressCapacity) return false;
  queue.slots[(queue.first + queue.count++) % kQueuedPressCapacity] = slot;
  return true;
}

int NextPress(PressQueue& queue) {
  if (!queue.count) return -1;
  const int slot = queue.slots[queue.first];
  queue.first = (queue.first + 1) % kQueuedPressCapacity;
  --queue.count;
  return slot;
}

}  // namespace pinnafex
