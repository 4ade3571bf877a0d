#include "shell/copy_arming.h"

#include <cstdio>

namespace pinnafex {

namespace {

// Unsigned difference: right across the wrap of the millisecond count.
bool Within(unsigned sinceMs, unsigned nowMs, unsigned spanMs) {
  return nowMs - sinceMs < spanMs;
}

KeyAction OnCopyKey(CopyArming& state, unsigned nowMs) {
  if (state.armed && Within(state.sinceMs, nowMs, kArmedMs)) {
    state.armed = false;
    return KeyAction::kDisarm;
  }
  state.armed = true;
  state.sinceMs = nowMs;
  return KeyAction::kArm;
}

KeyAction OnSlotKey(CopyArming& state, int slot, unsigned nowMs, unsigned sequence) {
  const bool armed = state.armed && Within(state.sinceMs, nowMs, kArmedMs);
  state.armed = false;
  if (!armed) return KeyAction::kPaste;
  state = {false, true, slot, nowMs, sequence};
  return KeyAction::kCopy;
}

KeyAction OnTick(CopyArming& state, unsigned nowMs, unsigned sequence) {
  if (state.waiting) {
    if (sequence != state.sequence) {
      state.waiting = false;
      return KeyAction::kPush;
    }
    if (Within(state.sinceMs, nowMs, kCopyWaitMs)) return KeyAction::kNone;
    state.waiting = false;
    return KeyAction::kNothingCopied;
  }
  if (!state.armed || Within(state.sinceMs, nowMs, kArmedMs)) return KeyAction::kNone;
  state.armed = false;
  return KeyAction::kDisarm;
}

}  // namespace

KeyAction StepCopyArming(CopyArming& state, KeyEvent event, int slot, unsigned nowMs,
                         unsigned sequence) {
  if (event == KeyEvent::kTick) return OnTick(state, nowMs, sequence);
  if (state.waiting) return KeyAction::kBusy;
  return event == KeyEvent::kCopyKey ? OnCopyKey(state, nowMs)
                                     : OnSlotKey(state, slot, nowMs, sequence);
}

void CopiedNotice(int slot, char (&out)[kCopiedNoticeSize]) {
  std::snprintf(out, sizeof out, "Copied into slot %d", slot + 1);
}

}  // namespace pinnafex
