#include "keep/keeper.h"

#include <cstdint>

#include "base/bar_ids.h"
#include "clock/ticker.h"
#include "keep/kept_file.h"
#include "keep/kept_folder.h"
#include "keep/kept_seal.h"
#include "settings/settings.h"
#include "slots/slot_store.h"

namespace pinnafex {

BlockReasonCreate gBlockReasonCreate = ShutdownBlockReasonCreate;
BlockReasonDestroy gBlockReasonDestroy = ShutdownBlockReasonDestroy;

namespace {

// What the thread tells the bar (the message's wParam).
enum KeeperNews : WPARAM {
  kArrived,      // lParam: the slot, with kUnplaced when its file still holds an older text
  kNotRestored,  // lParam: the damaged slots, one bit each; gNewerNews those of a newer version
  kNotSaved,     // lParam: the error
  kSavedAgain,
  kKeptFound,
  kQuiet,  // nothing is pending any more
  kEnded,
};
constexpr LPARAM kUnplaced = 0x100;

// Pauses between tries of a save or a removal that failed: from a second, doubling, up to half
// a minute.
constexpr DWORD kFirstPauseMs = 1000;
constexpr DWORD kLongestPauseMs = 30000;
// A file held at start is read again for at least this long, then left for the next start. A
// try costs one failed open, so the pauses stay short: the slot is back soon after it is free.
constexpr DWORD kRestoreTriesMs = 120000;
constexpr DWORD kFirstRestorePauseMs = 500;
constexpr DWORD kLongestRestorePauseMs = 5000;
// The slots whose files must still go: their removal failed, so the next start removes them
// instead of restoring them.
constexpr char kRemoveLeftValue[] = "REMOVEKEPT";
constexpr std::uint32_t kAllSlots = (1u << kSlotCount) - 1;

DWORD NextPause(DWORD pause, DWORD first = kFirstPauseMs, DWORD longest = kLongestPauseMs) {
  return !pause ? first : pause >= longest / 2 ? longest : 2 * pause;
}
bool Due(DWORD due, DWORD now) {
  return static_cast<LONG>(now - due) >= 0;
}
DWORD Until(DWORD due, DWORD now) {
  return Due(due, now) ? 0 : due - now;
}

// A save or a removal of one slot's files.
struct Job {
  bool queued = false;
  SlotShare text;       // no block: the slot's files are removed
  bool sealed = false;  // its ".tmp" holds this text: only the move into place is left
  DWORD pause = 0;      // after a failure: the pause before the next try
  DWORD due = 0;
};

// The thread's state. What is under the lock is shared; the rest belongs to one side, as marked.
CRITICAL_SECTION gLock;
bool gLockReady = false;
HANDLE gWake = nullptr;
HANDLE gShown = nullptr;  // set once the bar is on screen, or when the keeper is to end
bool gShownSet = false;   // bar
HANDLE gThread = nullptr;
HWND gDialog = nullptr;
KeepStart gStart = KeepStart::kOff;
Job gJobs[kSlotCount];
SlotShare gArrived[kSlotCount];  // restored, for the bar to take
std::uint32_t gNewerNews = 0;    // slots kept by a newer version, for the bar to tell
bool gForgetLeft = false;        // every file to be deleted
bool gStopping = false;
bool gWorking = false;          // the thread runs a save or a removal
bool gPushed[kSlotCount];       // bar: pushed since start, so a restored text comes too late
bool gKeeping = false;          // bar
bool gForgotten = false;        // bar: turned off since start, so restored texts need saving anew
bool gStopped = false;          // bar: arrivals are no longer taken
HWND gBlockHeld = nullptr;      // bar: the window that holds the session's end up for saves
bool gFailing = false;          // thread: a failure was told and nothing succeeded since
std::uint32_t gRemoveLeft = 0;  // thread: as kRemoveLeftValue stores it
std::uint32_t gWaiting = 0;     // thread: restores waiting for a held file
std::uint32_t gNewerTold = 0;   // thread
DWORD gRestorePause = 0;        // thread
DWORD gRestoreDue = 0;          // thread
DWORD gRestoreSince = 0;        // thread: when the restores began
DWORD gForgetPause = 0;         // thread
DWORD gForgetDue = 0;           // thread

struct Locked {
  Locked() { EnterCriticalSection(&gLock); }
  ~Locked() { LeaveCriticalSection(&gLock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

void Tell(KeeperNews news, LPARAM value = 0) {
  PostMessageA(gDialog, kKeeperMessage, news, value);
}

void Queue(int slot, const SlotShare& text) {
  HGLOBAL replaced = nullptr;
  {
    Locked lock;
    if (gJobs[slot].queued) replaced = gJobs[slot].text.block;  // a later Push wins
    gJobs[slot] = Job{};
    gJobs[slot].queued = true;
    gJobs[slot].text = text;
    gJobs[slot].due = GetTickCount();
  }
  ReleaseShare(replaced);
  SetEvent(gWake);
}

void NoteRemoveLeft(std::uint32_t slots, bool left) {
  const std::uint32_t was = gRemoveLeft;
  gRemoveLeft = left ? gRemoveLeft | slots : gRemoveLeft & ~slots;
  if (gRemoveLeft != was) WriteIntSetting(kRemoveLeftValue, static_cast<int>(gRemoveLeft));
}

// A slot read back: a sealed ".tmp" holds a newer text than the file and takes its place; one
// that fails its checks is a save cut short and goes.
Restore RestoreSlot(int slot, SlotShare& text, bool& unplaced) {
  const Restore temp = RestoreKeptSlot(slot, kTempSuffix, text);
  if (temp == Restore::kDone) {
    unplaced = PlaceKeptSlot(slot) != ERROR_SUCCESS;
    return temp;
  }
  wchar_t path[MAX_PATH];
  if (temp == Restore::kDamaged && KeptPath(slot, kTempSuffix, path)) DeleteFileW(path);
  if (temp == Restore::kBusy || temp == Restore::kNewer) return temp;
  return RestoreKeptSlot(slot, L"", text);
}

// The slots still waiting are read. Damaged files are set aside; held ones wait for the next
// round, with growing pauses, for at least kRestoreTriesMs.
void RestoreWaiting() {
  std::uint32_t damaged = 0;
  std::uint32_t newer = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const std::uint32_t bit = 1u << slot;
    if (!(gWaiting & bit)) continue;
    gWaiting &= ~bit;
    {
      Locked lock;
      // Pushed or cleared meanwhile, turned off, or the bar is ending: the file stays as it is.
      if (gJobs[slot].queued || gStopping || gForgetLeft) continue;
    }
    SlotShare text;
    bool unplaced = false;
    switch (RestoreSlot(slot, text, unplaced)) {
      case Restore::kDone: {
        Locked lock;
        ReleaseShare(gArrived[slot].block);
        gArrived[slot] = text;
      }
        Tell(kArrived, slot | (unplaced ? kUnplaced : 0));
        break;
      case Restore::kDamaged:
        SetAside(slot);
        damaged |= bit;
        break;
      case Restore::kNewer:
        newer |= bit & ~gNewerTold;
        gNewerTold |= bit;
        break;
      case Restore::kBusy:
        gWaiting |= bit;
        break;
      case Restore::kMissing:
        break;
    }
  }
  if (newer) {
    Locked lock;
    gNewerNews |= newer;
  }
  if (damaged || newer) Tell(kNotRestored, static_cast<LPARAM>(damaged));
  const DWORD now = GetTickCount();
  if (!gWaiting) return;
  if (now - gRestoreSince >= kRestoreTriesMs) {
    gWaiting = 0;  // left for the next start
    return;
  }
  gRestorePause = NextPause(gRestorePause, kFirstRestorePauseMs, kLongestRestorePauseMs);
  gRestoreDue = now + gRestorePause;
}

// One try of a slot's save or removal; the error, if any.
DWORD RunJob(int slot, Job& job) {
  if (!job.text.block) {
    const DWORD error = RemoveKeptSlot(slot);
    NoteRemoveLeft(1u << slot, error != ERROR_SUCCESS);
    return error;
  }
  if (!job.sealed) {
    if (const DWORD error = SealKeptSlot(slot, job.text)) return error;
    job.sealed = true;
    NoteRemoveLeft(1u << slot, false);  // the sealed ".tmp" takes the file's place at the latest
  }
  return PlaceKeptSlot(slot);
}

// A try that failed stays pending with a longer pause, unless a newer job took its place or the
// bar is ending; the first failure is told.
void Failed(int slot, Job& job, DWORD error, bool stopping) {
  if (!gFailing) Tell(kNotSaved, static_cast<LPARAM>(error));
  gFailing = true;
  if (!stopping) {
    Locked lock;
    if (!gJobs[slot].queued) {
      job.pause = NextPause(job.pause);
      job.due = GetTickCount() + job.pause;
      gJobs[slot] = job;
      return;
    }
  }
  ReleaseShare(job.text.block);
}

// Every file of the slots deleted; tried again while it fails.
void Forget(bool stopping) {
  const DWORD error = RemoveEveryKept();
  NoteRemoveLeft(kAllSlots, error != ERROR_SUCCESS);
  Locked lock;
  if (!error || stopping) {
    gForgetLeft = false;
    gForgetPause = 0;
  } else {
    if (!gFailing) Tell(kNotSaved, static_cast<LPARAM>(error));
    gFailing = true;
    gForgetPause = NextPause(gForgetPause);
    gForgetDue = GetTickCount() + gForgetPause;
  }
}

DWORD WINAPI KeeperMain(void*) {
  WaitForSingleObject(gShown, INFINITE);  // nothing competes with the bar's start
  int stored = 0;
  gRemoveLeft =
      static_cast<std::uint32_t>(ReadIntSetting(kRemoveLeftValue, &stored, 0)) & kAllSlots;
  const bool restore = gStart == KeepStart::kOn || (gStart == KeepStart::kUnsure && AnyKept());
  if (gStart == KeepStart::kOff) {
    Locked lock;
    gForgetLeft = true;
    gForgetDue = GetTickCount();
  } else if (restore) {
    if (gStart == KeepStart::kUnsure) Tell(kKeptFound);
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (gRemoveLeft & 1u << slot) Queue(slot, SlotShare{});  // removed before: never restored
    }
    gWaiting = kAllSlots;
    gRestoreSince = GetTickCount();
    RestoreWaiting();
  }
  bool worked = false;
  for (;;) {
    const DWORD now = GetTickCount();
    int slot = -1;
    Job job;
    bool forget = false;
    bool stopping = false;
    DWORD wait = INFINITE;
    {
      Locked lock;
      stopping = gStopping;
      if (gForgetLeft) {
        gWaiting = 0;  // turned off: no restore waits any more
        forget = stopping || Due(gForgetDue, now);
        if (!forget) wait = Until(gForgetDue, now);
      }
      // The files go before any save: a save made after turning Keep Slots on again stays.
      for (int i = 0; i < kSlotCount && !gForgetLeft && slot < 0; ++i) {
        if (!gJobs[i].queued) continue;
        if (stopping || Due(gJobs[i].due, now)) {
          slot = i;
        } else if (Until(gJobs[i].due, now) < wait) {
          wait = Until(gJobs[i].due, now);
        }
      }
      if (slot >= 0) {
        job = gJobs[slot];
        gJobs[slot] = Job{};
      }
      gWorking = forget || slot >= 0;
      worked = worked || gWorking;
    }
    if (forget) {
      Forget(stopping);
    } else if (slot >= 0) {
      if (const DWORD error = RunJob(slot, job)) {
        Failed(slot, job, error, stopping);
      } else {
        ReleaseShare(job.text.block);
      }
    } else if (gWaiting && !stopping && Due(gRestoreDue, now)) {
      RestoreWaiting();
    } else if (stopping) {
      Tell(kEnded);
      return 0;
    } else {
      if (worked && wait == INFINITE) {  // nothing pending
        if (gFailing) Tell(kSavedAgain);
        gFailing = false;
        Tell(kQuiet);
        worked = false;
      }
      if (gWaiting && Until(gRestoreDue, now) < wait) wait = Until(gRestoreDue, now);
      WaitForSingleObject(gWake, wait);
    }
    Locked lock;
    gWorking = false;
  }
}

// The system's text for an error, without its line end and full stop.
void ErrorText(DWORD error, char* out, DWORD size) {
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           error, 0, out, size, nullptr);
  while (n &&
         (out[n - 1] == '\n' || out[n - 1] == '\r' || out[n - 1] == '.' || out[n - 1] == ' ')) {
    --n;
  }
  out[n] = '\0';
  if (!n) wsprintfA(out, "error %lu", error);
}

void ReleaseSessionEnd() {
  if (gBlockHeld) gBlockReasonDestroy(gBlockHeld);
  gBlockHeld = nullptr;
}

}  // namespace

void StartKeeper(HWND dialog, KeepStart start) {
  if (!gLockReady) InitializeCriticalSection(&gLock);
  gLockReady = true;
  FinishKeeper();
  gDialog = dialog;
  gStart = start;
  gKeeping = start == KeepStart::kOn;
  gForgetLeft = gStopping = gWorking = gForgotten = gStopped = gFailing = false;
  gWaiting = gNewerTold = gNewerNews = 0;
  gRestorePause = gRestoreSince = gForgetPause = 0;
  for (bool& pushed : gPushed) pushed = false;
  if (!gWake) gWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!gShown) gShown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ResetEvent(gShown);
  gShownSet = false;
  gThread = CreateThread(nullptr, 0, KeeperMain, nullptr, 0, nullptr);
  // Saves and restores give way to the bar on a busy machine.
  if (gThread) SetThreadPriority(gThread, THREAD_PRIORITY_BELOW_NORMAL);
}

void BarShown() {
  if (gShownSet || !gThread) return;
  gShownSet = true;
  SetEvent(gShown);
}

void SetKeeping(bool keep) {
  if (!gThread || keep == gKeeping) return;
  gKeeping = keep;
  if (keep) {
    bool forgetting = false;
    {
      Locked lock;
      forgetting = gForgetLeft;
      gForgetLeft = false;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
      // Empty slots are left alone while their files are still there: a restore may still be
      // bringing their texts. When the files were still to go, those of empty slots go now.
      const SlotShare text = ShareSlot(slot);
      if (text.block || forgetting) Queue(slot, text);
    }
    return;
  }
  gForgotten = true;
  HGLOBAL dropped[kSlotCount] = {};
  {
    Locked lock;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      dropped[slot] = gJobs[slot].text.block;
      gJobs[slot] = Job{};
    }
    gForgetLeft = true;
    gForgetPause = 0;
    gForgetDue = GetTickCount();
  }
  for (HGLOBAL block : dropped) ReleaseShare(block);
  SetEvent(gWake);
}

void SlotChanged(int slot) {
  if (!IsSlotIndex(slot)) return;
  gPushed[slot] = true;
  if (gThread && gKeeping) Queue(slot, ShareSlot(slot));
}

KeeperNote OnKeeperMessage(WPARAM what, LPARAM value) {
  char notice[kTickerBufferSize];
  KeeperNote note;
  const int slot = static_cast<int>(value & (kUnplaced - 1));
  switch (what) {
    case kArrived: {
      if (!IsSlotIndex(slot)) break;
      SlotShare text;
      {
        Locked lock;
        text = gArrived[slot];
        gArrived[slot] = SlotShare{};
      }
      if (!text.block) break;
      if (gPushed[slot] || gStopped) {
        ReleaseShare(text.block);
        break;
      }
      AdoptSlot(slot, text);
      note = {KeeperEvent::kRestored, slot};
      // Its file went meanwhile, or still holds an older text.
      if (gKeeping && (gForgotten || value & kUnplaced)) Queue(slot, ShareSlot(slot));
      break;
    }
    case kNotRestored: {
      std::uint32_t newer = 0;
      {
        Locked lock;
        newer = gNewerNews;
        gNewerNews = 0;
      }
      FormatRestoreNotice(static_cast<std::uint32_t>(value), newer, notice, sizeof notice);
      ShowTickerNotice(notice, 0);
      break;
    }
    case kNotSaved: {
      MessageBeep(MB_ICONWARNING);
      char reason[160];
      ErrorText(static_cast<DWORD>(value), reason, sizeof reason);
      wsprintfA(notice, "Slots cannot be saved: %s", reason);
      ShowTickerNotice(notice, 0);
      break;
    }
    case kSavedAgain:
      ShowTickerNotice("Slots are saved again", 0);
      break;
    case kKeptFound:
      if (gStopped) break;
      SetKeeping(true);
      note.event = KeeperEvent::kKeepingOn;
      break;
    case kQuiet:
      ReleaseSessionEnd();
      break;
    case kEnded:
      ReleaseSessionEnd();
      note.event = KeeperEvent::kEnded;
      break;
    default:
      break;
  }
  return note;
}

void StopKeeper() {
  if (!gThread) return;
  gStopped = true;
  {
    Locked lock;
    gStopping = true;
  }
  BarShown();
  SetThreadPriority(gThread, THREAD_PRIORITY_NORMAL);  // nothing else of the bar competes now
  SetEvent(gWake);
}

bool KeeperEnded() {
  return !gThread || WaitForSingleObject(gThread, 0) == WAIT_OBJECT_0;
}

bool KeeperBusy() {
  if (!gThread) return false;
  Locked lock;
  bool busy = gWorking || gForgetLeft;
  for (const Job& job : gJobs) busy = busy || job.queued;
  return busy;
}

void HoldSessionEnd(HWND window) {
  if (gBlockHeld || !KeeperBusy()) return;
  gBlockHeld = window;  // Wine's stub fails; the hold is given up all the same once saves are done
  gBlockReasonCreate(window, L"Saving slots");
}

void FinishKeeper() {
  if (!gThread) return;
  StopKeeper();
  while (MsgWaitForMultipleObjects(1, &gThread, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, kKeeperMessage - 1, PM_REMOVE) ||
           PeekMessageW(&msg, nullptr, kKeeperMessage + 1, ~0u, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  CloseHandle(gThread);
  gThread = nullptr;
  ReleaseSessionEnd();
}

}  // namespace pinnafex
