// Push, Pop and a view refresh for small to huge texts, with what they are measured against:
// a memcpy of the same bytes into a warm buffer, the same copy into a freshly allocated block
// (what any new block costs), and the clipboard's own read and write. Then a drop-down of
// 10,000 lines against a bare combo box filled with the same strings, and a small Push beside
// such a slot against the same Push into an empty bar.
#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "bench/bench_text.h"
#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "base/bar_ids.h"
#include "settings/bar_settings.h"
#include "shell/slot_menu.h"
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
    {"1k_few", kKb, kKb / 4},  {"1k_many", kKb, 40},           {"1m_few", kMb, kMb / 4},
    {"1m_many", kMb, 40},      {"32m_few", 32 * kMb, 8 * kMb}, {"32m_many", 32 * kMb, 40},
    {"8m_lines", 8 * kMb, 78},
};
constexpr size_t kListedLines = 10000;

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

// 10,000 lines of 40 letters, the last without a line end: exactly the listed lines.
std::string TenThousandLines() {
  return MakeText(kListedLines * 42 - 2, 40);
}

// The floor: the same strings, split beforehand, into a combo box of the slots' style.
void FillBare(HWND combo, const std::vector<std::string>& lines, bool initStorage) {
  SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  if (initStorage) SendMessageA(combo, CB_INITSTORAGE, lines.size(), lines.size() * 16);
  for (const std::string& line : lines) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MeasureLongList(HWND dialog) {
  const std::string text = TenThousandLines();
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size(); at += 42) lines.push_back(text.substr(at, 40));
  lines.push_back("");
  HWND bare = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN,
                              0, 0, 100, 263, dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(bare, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
  ReleaseAllSlots();
  if (!SetClipboardBlock(BlockOf(text))) return;
  PushSlot(nullptr, 0);
  // Taken in turns, so that other work on the machine weighs on all three alike.
  double best[3] = {1e30, 1e30, 1e30};
  for (int run = 0; run < 10; ++run) {
    best[0] = std::min(best[0], BestMs(1, [&] {
                         FillBare(bare, lines, false);
                         Drain();
                       }));
    best[1] = std::min(best[1], BestMs(1, [&] {
                         FillBare(bare, lines, true);
                         Drain();
                       }));
    best[2] = std::min(best[2], BestMs(1, [&] {
                         RefreshSlot(dialog, 0);
                         Drain();
                       }));
  }
  DestroyWindow(bare);
  Report("list10k", "bare_ms", best[0]);
  Report("list10k", "bare_init_ms", best[1]);
  Report("list10k", "slot_ms", best[2]);
  Report("list10k", "entries",
         static_cast<double>(SendDlgItemMessageA(dialog, kSlotComboIds[0], CB_GETCOUNT, 0, 0)));

  // A small Push, as the Push command does it, beside the long list and in an empty bar.
  if (!SetClipboardBlock(BlockOf("small text\r\nof two lines"))) return;
  const auto smallPush = [&] {
    PushSlot(nullptr, 1);
    RefreshSlot(dialog, 1);
    Drain();
  };
  Report("push_beside", "long_ms", BestMs(20, smallPush));
  ReleaseAllSlots();
  RefreshSlotView(dialog);
  Report("push_beside", "empty_ms", BestMs(20, smallPush));
  ReleaseAllSlots();
}

// The menu loop's first message: the menu is up. It is painted, the time taken, and it closes.
double gMenuShownAt = 0;
LRESULT CALLBACK OnMenuMessage(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_MENU && gMenuShownAt == 0) {
    if (HWND menu = FindWindowW(L"#32768", nullptr)) UpdateWindow(menu);
    gMenuShownAt = NowMs();
    EndMenu();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

template <typename Open>
double MenuMs(HWND dialog, Open open) {
  double best = 1e30;
  for (int run = 0; run < 10; ++run) {
    gMenuShownAt = 0;
    PostMessageW(dialog, WM_NULL, 0, 0);  // a message for the menu loop to find at once
    const double start = NowMs();
    open();
    if (gMenuShownAt > 0) best = std::min(best, gMenuShownAt - start);
    Drain();
  }
  return best;
}

// The slot menu opened against a bare menu of the same items, and a rename (caption, names for
// screen readers, the registry) against a bare change of the frame's caption.
void MeasureSlotMenu(HWND dialog) {
  HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, OnMenuMessage, nullptr, GetCurrentThreadId());
  StartSlotMenu(dialog);
  BarSettings settings;
  HMENU bare = CreatePopupMenu();
  for (const wchar_t* item : {L"&Name\u2026", L"&Lock", L"&Clear"})
    AppendMenuW(bare, MF_STRING, 1, item);
  Report("slot_menu", "open_ms", MenuMs(dialog, [&] {
           ChooseFromSlotMenu(dialog, 3, {200, 100}, settings);
         }));
  Report("slot_menu", "bare_ms", MenuMs(dialog, [&] {
           SetForegroundWindow(dialog);
           TrackPopupMenu(bare, TPM_RETURNCMD, 200, 100, 0, dialog, nullptr);
         }));
  DestroyMenu(bare);
  UnhookWindowsHookEx(hook);
  wchar_t kept[kSlotCount][kSlotNameSize];
  ReadSlotNames(kept);
  int turn = 0;
  Report("rename", "slot_ms", BestMs(20, [&] {
           RenameSlot(dialog, 3, ++turn % 2 ? L"IBAN K\u00F6ln Hauptkonto" : L"\u6771\u4EAC");
           Drain();
         }));
  HWND frame = GetDlgItem(dialog, kSlotFrameIds[3]);
  Report("rename", "bare_ms", BestMs(20, [&] {
           SetWindowTextW(frame, ++turn % 2 ? L"4 IBAN K\u00F6ln Haupt\u2026" : L"4 \u6771\u4EAC");
           Drain();
         }));
  RenameSlot(dialog, 3, kept[3]);
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
  MeasureSlotMenu(dialog);
  MeasureLongList(dialog);
  for (const Case& c : kCases) MeasureCase(c, dialog);
  DestroyWindow(dialog);
}

}  // namespace bench
}  // namespace pinnafex
