// The copy key's arming and the wait for the copied text: which hotkey pastes, which copies,
// when the arming lapses and when the program in front has had its chance to copy.
#pragma once

namespace pinnafex {

constexpr unsigned kArmedMs = 3000;     // a slot key this soon after the copy key copies
constexpr unsigned kCopyWaitMs = 1000;  // the program in front has this long to fill the clipboard

enum class KeyEvent { kCopyKey, kSlotKey, kTick };
enum class KeyAction {
  kNone,
  kArm,            // the copy key: show the prompt
  kDisarm,         // the copy key again, or the time ran out
  kPaste,          // a slot key, not armed
  kCopy,           // a slot key while armed: send the copy keystroke now
  kPush,           // the clipboard changed: push into `CopyArming::slot`
  kNothingCopied,  // the wait is over and the clipboard is as it was
  kBusy,           // a key while a copy still waits: it would spoil the copy
};

struct CopyArming {
  bool armed = false;
  bool waiting = false;   // a copy keystroke went out, the clipboard has not yet changed
  int slot = -1;          // the slot a waiting copy goes into
  unsigned sinceMs = 0;   // when the copy key armed, or when the copy keystroke went
  unsigned sequence = 0;  // the clipboard's sequence number before the copy keystroke
};

// One event at `nowMs` (a millisecond count that may wrap) while the clipboard's sequence number
// is `sequence`; `slot` is a slot key's slot. Returns what the bar is to do.
KeyAction StepCopyArming(CopyArming& state, KeyEvent event, int slot, unsigned nowMs,
                         unsigned sequence);

constexpr char kCopyPrompt[] = "Copy into which slot?";
constexpr char kNothingCopiedNotice[] = "Nothing was copied";
constexpr char kKeysNotSentNotice[] = "The keys could not be sent";

// "Copied into slot 4" for slot index 3.
constexpr int kCopiedNoticeSize = 24;
void CopiedNotice(int slot, char (&out)[kCopiedNoticeSize]);

}  // namespace pinnafex
