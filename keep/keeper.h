// Keep Slots: when a slot is written. Each slot's text is saved to its own encrypted file right
// after it changes, by a thread of its own, and restored by it at start; work that fails is
// tried again later. The bar's thread only hands over shares and never waits for the disk.
#pragma once
#include <windows.h>

namespace pinnafex {

// Posted by the keeper's thread to the bar; handled by OnKeeperMessage.
constexpr UINT kKeeperMessage = WM_APP + 20;

// How the setting stood at start. Unsure (missing, unreadable or a stray value): kept files
// win, and Keep Slots is on when there are any. Only a plain off deletes them.
enum class KeepStart { kOn, kOff, kUnsure };
// Starts the keeper's thread. Once the bar is shown it restores the kept slots, each posted to
// `dialog` as it is ready, or deletes the kept files.
void StartKeeper(HWND dialog, KeepStart start);
// The bar is on screen: the keeper may begin (it would slow the bar's start). Each tick.
void BarShown();
// On: every slot that holds a text, secrets aside, is saved. Off: every file of the slots is
// deleted and restores still waiting are dropped.
void SetKeeping(bool keep);
// A slot changed (a Push, a Clear): it is saved, or its files are removed when it is empty or
// secret, until that succeeds. A restore still under way for it is dropped.
void SlotChanged(int slot);

// What a keeper's message asks of the bar: a slot to show anew, Keep Slots to show checked
// (kept files found while the setting was unsure), or the end of its work after a stop.
enum class KeeperEvent { kNone, kRestored, kKeepingOn, kEnded };
struct KeeperNote {
  KeeperEvent event = KeeperEvent::kNone;
  int slot = -1;
};
// On the bar's thread: a restored slot taken in, or a notice shown.
KeeperNote OnKeeperMessage(WPARAM what, LPARAM value);

// Quit and the end of the session. StopKeeper returns at once: each pending save and removal
// is tried once more off the bar's thread (what still fails is left to the next start), and
// a restore still waiting stops, its file left for the next start. kEnded follows.
void StopKeeper();
bool KeeperEnded();
// Saves or removals pending.
bool KeeperBusy();
// At WM_QUERYENDSESSION: with saves pending, the system is told why the session must wait.
void HoldSessionEnd(HWND window);
// StopKeeper, then a wait for the end that goes on answering the thread's messages, in steps
// of at most 100 ms (the keeper's own messages stay queued).
void FinishKeeper();

// Seams for tests: the shutdown block reason, a stub that fails under Wine.
using BlockReasonCreate = BOOL(WINAPI*)(HWND window, LPCWSTR reason);
using BlockReasonDestroy = BOOL(WINAPI*)(HWND window);
extern BlockReasonCreate gBlockReasonCreate;
extern BlockReasonDestroy gBlockReasonDestroy;

}  // namespace pinnafex
