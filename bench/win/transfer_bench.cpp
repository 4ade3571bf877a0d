// Push and Pop of texts that a program copied as 8-bit text (CF_TEXT) or as Unicode, in ASCII
// and in Cyrillic, against the floor they cannot beat: the clipboard's own read (for Pop:
// write) of the formats they use plus one copy of the slot's text; the view's refresh after the
// Push beside. Then the process's memory with twenty slots held.
#include <windows.h>
#include <psapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "base/bar_ids.h"
#include "slots/slot_store.h"
#include "slots/slot_view.h"

namespace pinnafex {
namespace bench {
namespace {

constexpr size_t kMi = 1024 * 1024;
constexpr UINT kBlockFlags = GMEM_MOVEABLE | GMEM_ZEROINIT;

// `chars` characters cycling through `alphabet`, with CR LF every 40.
std::wstring MakeWide(size_t chars, const wchar_t* alphabet) {
  const size_t letters = std::wcslen(alphabet);
  std::wstring text(chars, L' ');
  for (size_t i = 0; i < chars; ++i) text[i] = alphabet[i % letters];
  for (size_t i = 40; i + 1 < chars; i += 42) {
    text[i] = L'\r';
    text[i + 1] = L'\n';
  }
  return text;
}

HGLOBAL BlockOf(const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(kBlockFlags, size);
  if (!block) return nullptr;
  std::memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  return block;
}

// As a program copies: the text and its locale, each a block of its own. An 8-bit source
// puts the text's bytes (ASCII here) as CF_TEXT.
bool PutText(const std::wstring& text, LCID locale, UINT format) {
  const std::string bytes(text.begin(), text.end());
  HGLOBAL data = format == CF_TEXT ? BlockOf(bytes.c_str(), bytes.size() + 1)
                                   : BlockOf(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  HGLOBAL lcid = BlockOf(&locale, sizeof locale);
  if (!data || !lcid || !OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const bool taken = SetClipboardData(format, data) && SetClipboardData(CF_LOCALE, lcid);
  CloseClipboard();
  return taken;
}

// What any reader of the text pays: open, the locale, the text, its terminator.
void ReadText(UINT format) {
  if (!OpenClipboard(nullptr)) return;
  GetClipboardData(CF_LOCALE);
  if (HANDLE data = GetClipboardData(format)) {
    if (const void* text = GlobalLock(data)) {
      volatile size_t length =
          format == CF_TEXT
              ? strnlen(static_cast<const char*>(text), GlobalSize(data))
              : wcsnlen(static_cast<const wchar_t*>(text), GlobalSize(data) / sizeof(wchar_t));
      (void)length;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
}

// What Pop hands over for an 8-bit slot, made beforehand so only the hand-over counts.
void WriteText(HGLOBAL text, HGLOBAL locale) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  SetClipboardData(CF_LOCALE, locale);
  SetClipboardData(CF_TEXT, text);
  CloseClipboard();
}

// Milliseconds of one call of `op`.
template <typename Op>
double TimedMs(Op op) {
  const double start = NowMs();
  op();
  return NowMs() - start;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

void MeasureTransfers(const char* key, const std::wstring& text, LCID locale, UINT format,
                      HWND dialog) {
  constexpr int kRuns = 7;
  const std::string name = std::string("xfer.") + key + ".";
  if (!PutText(text, locale, format)) {
    Report((name + "clipboard_refused").c_str(), 1);
    return;
  }
  ReleaseAllSlots();
  // Pop's floor hands over blocks made beforehand: the same two formats of the same sizes.
  std::vector<HGLOBAL> texts;
  std::vector<HGLOBAL> locales;
  const std::string bytes(text.size(), 'a');  // the slot's text: a byte a character
  for (int i = 0; i < kRuns; ++i) {
    texts.push_back(BlockOf(bytes.c_str(), bytes.size() + 5));
    locales.push_back(BlockOf(&locale, sizeof locale));
  }
  // Taken in turns, so that other work on the machine weighs on each figure and its floor
  // alike; every read meets a freshly set clipboard.
  double copy = 1e30, read = 1e30, push = 1e30, write = 1e30, pop = 1e30;
  for (int run = 0; run < kRuns; ++run) {
    copy = std::min(copy, TimedMs([&] {
                      HGLOBAL block = GlobalAlloc(kBlockFlags, bytes.size() + 5);
                      std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
                      GlobalUnlock(block);
                      GlobalFree(block);
                    }));
    PutText(text, locale, format);
    read = std::min(read, TimedMs([&] { ReadText(format); }));
    PutText(text, locale, format);
    push = std::min(push, TimedMs([] { PushSlot(nullptr, 0); }));
    write = std::min(write, TimedMs([&] { WriteText(texts[run], locales[run]); }));
    pop = std::min(pop, TimedMs([] { PopSlot(nullptr, 0); }));
  }
  Report((name + "copy_ms").c_str(), copy);
  Report((name + "read_ms").c_str(), read);
  Report((name + "push_ms").c_str(), push);
  Report((name + "write_ms").c_str(), write);
  Report((name + "pop_ms").c_str(), pop);
  if (SlotOf(0).wide) Report((name + "kept_wide").c_str(), 1);
  Report((name + "refresh_ms").c_str(), BestMs(kRuns, [&] {
           RefreshSlot(dialog, 0);
           Drain();
         }));
  ReleaseAllSlots();
  RefreshSlot(dialog, 0);
}

double WorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.WorkingSetSize) / kMi;
}

// Twenty slots holding the text; reports the working set and how many slots took it.
void MeasureMemory(const char* key, const std::wstring& text, LCID locale) {
  const std::string name = std::string("mem.") + key + ".";
  ReleaseAllSlots();
  int held = 0;
  if (PutText(text, locale, CF_UNICODETEXT)) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (PushSlot(nullptr, slot) == ClipResult::kDone && SlotOf(slot).block) ++held;
    }
  }
  // What reading the clipboard cached is the clipboard's, not the slots'.
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  Report((name + "slots").c_str(), held);
  Report((name + "working_set_mb").c_str(), WorkingSetMb());
  ReleaseAllSlots();
}

}  // namespace

void RunTransferBench() {
  const wchar_t* const ascii = L"abcdefghijklmnopqrstuvwxyz";
  const wchar_t* const cyrillic = L"\u0430\u0431\u0432\u0433\u0434\u0435\u0436\u0437\u0438";
  const wchar_t* const cjk = L"\u65E5\u672C\u8A9E\u6587\u5B57\u6F22\u5B57";
  // Shown, as the bar is, so the refresh pays for what it makes the controls repaint.
  HWND dialog =
      CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr, PlainDialog, 0);
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  Drain();
  MeasureTransfers("text32", MakeWide(32 * kMi, ascii), 1033, CF_TEXT, dialog);
  MeasureTransfers("ascii32", MakeWide(32 * kMi, ascii), 1033, CF_UNICODETEXT, dialog);
  MeasureTransfers("cyrillic32", MakeWide(32 * kMi, cyrillic), 1049, CF_UNICODETEXT, dialog);
  DestroyWindow(dialog);

  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  Report("mem.empty.working_set_mb", WorkingSetMb());
  MeasureMemory("ascii1", MakeWide(kMi, ascii), 1033);
  MeasureMemory("cyrillic1", MakeWide(kMi, cyrillic), 1049);
  MeasureMemory("cjk1", MakeWide(kMi, cjk), 1033);
  MeasureMemory("ascii32", MakeWide(32 * kMi, ascii), 1033);
}

}  // namespace bench
}  // namespace pinnafex
