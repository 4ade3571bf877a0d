// Push, Pop and a full view refresh for small to huge texts, with what they are measured
// against: a memcpy of the same bytes into a warm buffer, the same copy into a freshly
// allocated block (what any new block costs), and the clipboard's own read and write.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_text.h"
#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "shell/control_ids.h"
#include "slots/slot_store.h"
#include "slots/slot_view.h"

namespace pinnafex {
namespace bench {
namespace {

constexpr size_t kKb = 1024;
constexpr size_t kMb = 1024 * kKb;
constexpr UINT kBlockFlags = GMEM_MOVEABLE | GMEM_ZEROINIT;

struct Case {
  const char* key;
  size_t size;
  size_t lineLength;
};
constexpr Case kCases[] = {
    {"1k_few", kKb, kKb / 4}, {"1k_many", kKb, 40},           {"1m_few", kMb, kMb / 4},
    {"1m_many", kMb, 40},     {"32m_few", 32 * kMb, 8 * kMb}, {"32m_many", 32 * kMb, 40},
};

void Report(const char* key, const char* what, double value) {
  const std::string name = std::string(key) + "." + what;
  bench::Report(name.c_str(), value);
}

HGLOBAL BlockOf(const std::string& text) {
  HGLOBAL block = GlobalAlloc(kBlockFlags, text.size() + 1);
  if (!block) return nullptr;
  std::memcpy(GlobalLock(block), text.data(), text.size());
  GlobalUnlock(block);
  return block;
}

// Hands a block to the clipboard; frees it when the clipboard refuses it.
bool SetClipboardBlock(HGLOBAL block) {
  if (!block || !OpenClipboard(nullptr)) {
    if (block) GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
  if (!taken) GlobalFree(block);
  CloseClipboard();
  return taken;
}

// What any reader of the clipboard's text pays: open, fetch, lock, find the terminator.
void ReadClipboardText() {
  if (!OpenClipboard(nullptr)) return;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* text = static_cast<const char*>(GlobalLock(data))) {
      volatile const void* end = std::memchr(text, 0, GlobalSize(data));
      (void)end;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
}

// Lets the shown dialog repaint what the refresh changed.
void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

void MeasureCase(const Case& c, HWND dialog) {
  const std::string text = MakeText(c.size, c.lineLength);
  const int runs = c.size > kMb ? 3 : 20;

  std::vector<char> dest(c.size);
  volatile char sink = 0;
  const int copyReps = static_cast<int>(std::max<size_t>(1, 64 * kMb / c.size));
  Report(c.key, "memcpy_ms",
         BestMs(
             runs,
             [&] {
               std::memcpy(dest.data(), text.data(), c.size);
               sink = dest[c.size / 2];
             },
             copyReps));
  Report(c.key, "fresh_ms", BestMs(runs, [&] {
           HGLOBAL block = GlobalAlloc(kBlockFlags, c.size + 5);
           std::memcpy(GlobalLock(block), text.data(), c.size);
           GlobalUnlock(block);
           GlobalFree(block);
         }));
  (void)sink;

  // The clipboard's write: blocks made beforehand, so only the hand-over is timed.
  std::vector<HGLOBAL> blocks;
  for (int i = 0; i < runs; ++i) blocks.push_back(BlockOf(text));
  size_t next = 0;
  Report(c.key, "clipwrite_ms", BestMs(runs, [&] { SetClipboardBlock(blocks[next++]); }));

  ReleaseAllSlots();
  if (!SetClipboardBlock(BlockOf(text))) {
    Report(c.key, "clipboard_refused", 1);
    return;
  }
  Report(c.key, "clipread_ms", BestMs(runs, ReadClipboardText));
  Report(c.key, "push_ms", BestMs(runs, [] { PushSlot(nullptr, 0); }));
  Report(c.key, "pop_ms", BestMs(runs, [] { PopSlot(nullptr, 0); }));
  Report(c.key, "refresh_ms", BestMs(runs, [&] {
           RefreshSlotView(dialog);
           Drain();
         }));
  ReleaseAllSlots();
}

// The worst refresh the issue names: all twenty slots holding 1 MB.
void MeasureFullRefresh(const char* key, const std::string& text, HWND dialog) {
  if (!SetClipboardBlock(BlockOf(text))) return;
  for (int slot = 0; slot < kSlotCount; ++slot) PushSlot(nullptr, slot);
  Report(key, "refresh_ms", BestMs(5, [&] {
           RefreshSlotView(dialog);
           Drain();
         }));
  Report(key, "entries_each",
         static_cast<double>(SendDlgItemMessageA(dialog, kSlotComboIds[0], CB_GETCOUNT, 0, 0)));
  ReleaseAllSlots();
}

}  // namespace

void RunSlotBench() {
  HWND dialog =
      CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr, PlainDialog, 0);
  if (!dialog) {
    bench::Report("slots.no_dialog", static_cast<double>(GetLastError()));
    return;
  }
  // Shown, as the bar is, so the refresh pays for what it makes the controls repaint.
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  Drain();
  for (const Case& c : kCases) MeasureCase(c, dialog);
  MeasureFullRefresh("full20_1m_many", MakeText(kMb, 40), dialog);
  MeasureFullRefresh("full20_1m_few", MakeText(kMb, kMb / 4), dialog);
  DestroyWindow(dialog);
}

}  // namespace bench
}  // namespace pinnafex
