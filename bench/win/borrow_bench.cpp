// A paste key over a 1 MB clipboard with a 1 MB slot, against the floor the system sets for the
// same work: the clipboard copied, restored, and the slot written plainly, with the same read of
// it. Then the bar's longest busy stretch while it keeps and gives back a 32 MB clipboard, and
// while another program reads what was given back.
#include <windows.h>

#include <atomic>
#include <cstring>

#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "borrow/clipboard_loan.h"
#include "slots/clip_formats.h"
#include "slots/slot_store.h"

namespace pinnafex {
namespace bench {
namespace {

constexpr size_t kMi = 1024 * 1024;
constexpr int kRuns = 15;

constexpr UINT kKeptMessage = WM_APP + 1;
bool gKeptHeard = false;

LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  gKeptHeard = gKeptHeard || message == kKeptMessage;
  if (message == WM_RENDERFORMAT) {
    RenderOffer(static_cast<UINT>(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Another program asking the bar something, again and again: the longest answer in each phase
// is the bar's longest busy stretch then.
enum Phase { kFloorPhase, kKeepPhase, kGiveBackPhase, kReadPhase, kPhaseCount };
struct Watch {
  HWND bar;
  std::atomic<bool> done{false};
  std::atomic<int> phase{kFloorPhase};
  double longestMs[kPhaseCount] = {};
};

DWORD WINAPI WatchBar(void* param) {
  auto& watch = *static_cast<Watch*>(param);
  while (!watch.done) {
    const int first = watch.phase;
    const double start = NowMs();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(watch.bar, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    const double waited = NowMs() - start;
    for (int phase = first; phase <= watch.phase; ++phase)  // a wait counts in every phase it saw
      watch.longestMs[phase] = std::max(watch.longestMs[phase], waited);
    Sleep(1);
  }
  return 0;
}

// The bar's message loop until `over` says so.
template <typename Over>
void Answer(Over over) {
  MSG msg;
  while (!over()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

HGLOBAL TextBlock(size_t size, char fill) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size + 1);
  if (auto* bytes = block ? static_cast<char*>(GlobalLock(block)) : nullptr) {
    std::memset(bytes, fill, size);
    bytes[size] = '\0';
    GlobalUnlock(block);
  }
  return block;
}

void Write(HWND owner, HGLOBAL block) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

// What the program in front pays to paste: open, the text, close.
void Read(HWND reader) {
  if (!OpenClipboard(reader)) return;
  GetClipboardData(CF_TEXT);
  CloseClipboard();
}

// The system's copy of the clipboard's text, or null.
HGLOBAL CopyOf(HWND owner) {
  if (!OpenClipboard(owner)) return nullptr;
  HGLOBAL copy = CopyClipboardData(CF_TEXT);
  CloseClipboard();
  return copy;
}

// The system's copy of the clipboard and its restoration, on a thread of the bar's.
DWORD WINAPI CopyAndRestore(void* owner) {
  Write(static_cast<HWND>(owner), CopyOf(static_cast<HWND>(owner)));
  return 0;
}

// Another program's paste of the clipboard given back.
DWORD WINAPI ReadGivenBack(void*) {
  HWND reader = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  Read(reader);
  DestroyWindow(reader);
  return 0;
}

void AnswerUntilEnded(HANDLE thread) {
  Answer([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; });
  CloseHandle(thread);
}

}  // namespace

void RunBorrowBench() {
  WNDCLASSA barClass{};
  barClass.lpfnWndProc = BarProc;
  barClass.lpszClassName = "PinnafexBorrowBench";
  RegisterClassA(&barClass);
  HWND bar =
      CreateWindowA("PinnafexBorrowBench", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  HWND user = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  Write(user, TextBlock(kMi, 's'));
  PushSlot(bar, 0);
  double paste = 1e30, floor = 1e30;
  for (int run = 0; run < kRuns; ++run) {
    Write(user, TextBlock(kMi, 'u'));
    double start = NowMs();
    StartKeepingClipboard(bar, kKeptMessage);
    FinishKeeping();
    MSG done;
    PeekMessageA(&done, bar, kKeptMessage, kKeptMessage, PM_REMOVE);
    OfferSlot(bar, 0);
    Read(user);
    GiveClipboardBack(bar);
    FinishGivingBack();  // the work counts, wherever it runs
    paste = std::min(paste, NowMs() - start);

    Write(user, TextBlock(kMi, 'u'));
    start = NowMs();
    HGLOBAL kept = CopyOf(user);
    HGLOBAL slot = CopyBlock(SlotBlock(0), kMi + 1);
    Write(bar, slot);
    Read(user);
    Write(bar, kept);
    floor = std::min(floor, NowMs() - start);
  }
  Report("borrow.paste_1m_ms", paste);
  Report("borrow.paste_floor_ms", floor);
  // The bar's longest busy stretch while it keeps and gives back a 32 MB clipboard, as another
  // program sees it waiting for the bar to answer. The floor: the same while a thread of the bar
  // only copies the clipboard and puts the copy back, as plainly as the system allows.
  double busy[kPhaseCount] = {}, copy = 1e30;
  for (int run = 0; run < 3; ++run) {
    Write(user, TextBlock(32 * kMi, 'u'));
    const double start = NowMs();
    GlobalFree(CopyOf(user));  // the system's read of it and one copy
    copy = std::min(copy, NowMs() - start);
    Watch watch{bar};
    HANDLE watcher = CreateThread(nullptr, 0, WatchBar, &watch, 0, nullptr);
    AnswerUntilEnded(CreateThread(nullptr, 0, CopyAndRestore, user, 0, nullptr));
    watch.phase = kKeepPhase;
    gKeptHeard = false;
    StartKeepingClipboard(bar, kKeptMessage);
    Answer([] { return gKeptHeard; });
    FinishKeeping();
    Write(bar, TextBlock(16, 's'));
    watch.phase = kGiveBackPhase;
    GiveClipboardBack(bar);
    Answer(ClipboardHoldsGivenBack);
    watch.phase = kReadPhase;
    AnswerUntilEnded(CreateThread(nullptr, 0, ReadGivenBack, nullptr, 0, nullptr));
    watch.done = true;
    AnswerUntilEnded(watcher);  // its last question
    for (int phase = 0; phase < kPhaseCount; ++phase)
      busy[phase] = std::max(busy[phase], watch.longestMs[phase]);
  }
  Report("borrow.busy_keep_32m_ms", busy[kKeepPhase]);
  Report("borrow.busy_give_back_32m_ms", busy[kGiveBackPhase]);
  Report("borrow.busy_read_given_32m_ms", busy[kReadPhase]);
  Report("borrow.busy_32m_floor_ms", busy[kFloorPhase]);
  Report("borrow.keep_32m_floor_ms", copy);
  ReleaseAllSlots();
  DestroyWindow(bar);
  DestroyWindow(user);
}

}  // namespace bench
}  // namespace pinnafex
