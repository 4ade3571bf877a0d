// A paste key over a 1 MB clipboard with a 1 MB slot, against the floor the system sets for the
// same work: the clipboard copied, restored, and the slot written plainly, with the same read of
// it. Then the bar's busy time while it keeps, and while it gives back, a 32 MB clipboard.
#include <windows.h>

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

LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RENDERFORMAT) {
    RenderOffer(static_cast<UINT>(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
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
    KeepClipboard(bar);
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
  // The longest stretch the bar's thread spends on a 32 MB clipboard.
  double keep = 1e30, back = 1e30, copy = 1e30;
  for (int run = 0; run < 3; ++run) {
    Write(user, TextBlock(32 * kMi, 'u'));
    double start = NowMs();
    GlobalFree(CopyOf(user));  // the system's read of it and one copy
    copy = std::min(copy, NowMs() - start);
    start = NowMs();
    KeepClipboard(bar);
    keep = std::min(keep, NowMs() - start);
    Write(bar, TextBlock(16, 's'));
    start = NowMs();
    GiveClipboardBack(bar);
    back = std::min(back, NowMs() - start);
    FinishGivingBack();
  }
  Report("borrow.keep_32m_ms", keep);
  Report("borrow.keep_32m_floor_ms", copy);
  Report("borrow.give_back_32m_ms", back);
  ReleaseAllSlots();
  DestroyWindow(bar);
  DestroyWindow(user);
}

}  // namespace bench
}  // namespace pinnafex
