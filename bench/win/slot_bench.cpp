// Push, Pop and a full view refresh for small to huge texts, each as a ratio to a plain
// memcpy of the same bytes measured in the same run. Prints a table; run under Wine.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell/control_ids.h"
#include "slots/slot_lines.h"
#include "slots/slot_store.h"
#include "slots/slot_view.h"

namespace pinnafex {
namespace {

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of `runs` timings of `op`, in milliseconds; each timing averages `reps` calls.
template <typename Op>
double BestMs(int runs, Op op, int reps = 1) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const double start = Seconds();
    for (int r = 0; r < reps; ++r) op();
    best = std::min(best, (Seconds() - start) * 1000.0 / reps);
  }
  return best;
}

// `size` bytes of printable text with a CR LF every `lineLength` bytes.
std::string MakeText(size_t size, size_t lineLength) {
  std::string text(size, 'x');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
  for (size_t i = lineLength; i + 1 < size; i += lineLength + 2) {
    text[i] = '\r';
    text[i + 1] = '\n';
  }
  return text;
}

bool PutClipboardText(HWND owner, const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!block) return false;
  char* dest = static_cast<char*>(GlobalLock(block));
  memcpy(dest, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  if (!OpenClipboard(owner)) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_TEXT, block) != nullptr;
  if (!ok) GlobalFree(block);
  CloseClipboard();
  return ok;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

struct Case {
  const char* name;
  size_t size;
  size_t lineLength;
};

void Run() {
  HWND dialog =
      CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr, PlainDialog, 0);
  HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  if (!dialog || !owner) {
    std::printf("no dialog (error %lu)\n", GetLastError());
    return;
  }
  constexpr size_t kKb = 1024;
  constexpr size_t kMb = 1024 * kKb;
  const Case cases[] = {
      {"1 KB, 4 lines", kKb, kKb / 4},       {"1 KB, 40-byte lines", kKb, 40},
      {"1 MB, 4 lines", kMb, kMb / 4},       {"1 MB, 40-byte lines", kMb, 40},
      {"32 MB, 4 lines", 32 * kMb, 8 * kMb}, {"32 MB, 40-byte lines", 32 * kMb, 40},
  };
  std::printf("slot transfers and view refresh, best of runs; x = ratio to a memcpy of the text\n");
  std::printf("%-22s %10s %9s %7s %9s %7s %10s %7s %6s\n", "text", "memcpy us", "push ms", "x",
              "pop ms", "x", "refresh ms", "x", "listed");
  for (const Case& c : cases) {
    const std::string text = MakeText(c.size, c.lineLength);
    const int runs = c.size > kMb ? 3 : 20;
    std::vector<char> dest(c.size);
    volatile char sink = 0;
    const int copyReps = static_cast<int>(std::max<size_t>(1, 64 * kMb / c.size));
    const double copyMs = BestMs(
        runs,
        [&] {
          memcpy(dest.data(), text.data(), c.size);
          sink = dest[c.size / 2];
        },
        copyReps);
    (void)sink;

    ReleaseAllSlots();
    if (!PutClipboardText(owner, text)) {
      std::printf("%-22s clipboard refused the text\n", c.name);
      continue;
    }
    const double pushMs = BestMs(runs, [] { PushSlot(0); });
    const double popMs = BestMs(runs, [] { PopSlot(0); });
    const double viewMs = BestMs(runs, [&] { RefreshSlotView(dialog); });
    const auto listed = SendDlgItemMessageA(dialog, kSlotComboIds[0], CB_GETCOUNT, 0, 0);
    std::printf("%-22s %10.3f %9.3f %7.0f %9.3f %7.0f %10.3f %7.0f %6ld\n", c.name, copyMs * 1000,
                pushMs, pushMs / copyMs, popMs, popMs / copyMs, viewMs, viewMs / copyMs,
                static_cast<long>(listed));
  }

  // What a drop-down's entries cost, to choose how many lines a slot lists: added through
  // the dialog (an item lookup per entry) and to the combo's handle.
  std::printf("\ncombo fill    entries  via dialog ms  via handle ms\n");
  HWND combo = GetDlgItem(dialog, kSlotComboIds[0]);
  const char* line = "a line of forty bytes, more or less here";
  for (int entries : {50, 100, 300, 1000, 3000}) {
    const double viaDialogMs = BestMs(3, [&] {
      SendMessageA(combo, CB_RESETCONTENT, 0, 0);
      for (int i = 0; i < entries; ++i) {
        SendDlgItemMessageA(dialog, kSlotComboIds[0], CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(line));
      }
    });
    const double viaHandleMs = BestMs(3, [&] {
      SendMessageA(combo, CB_RESETCONTENT, 0, 0);
      for (int i = 0; i < entries; ++i) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
      }
    });
    std::printf("%20d %14.1f %14.1f\n", entries, viaDialogMs, viaHandleMs);
  }

  // The worst refresh: all twenty slots holding text.
  std::printf("\nall 20 slots holding           refresh ms  entries each\n");
  const struct {
    const char* name;
    std::string text;
  } full[] = {{"one short line", "a short line"}, {"4 MB of 40-byte lines", MakeText(4 * kMb, 40)}};
  for (const auto& f : full) {
    if (!PutClipboardText(owner, f.text)) continue;
    for (int slot = 0; slot < 20; ++slot) PushSlot(slot);
    const double fullMs = BestMs(5, [&] { RefreshSlotView(dialog); });
    const auto listed = SendDlgItemMessageA(dialog, kSlotComboIds[0], CB_GETCOUNT, 0, 0);
    std::printf("%-30s %10.1f  %12ld\n", f.name, fullMs, static_cast<long>(listed));
  }
  ReleaseAllSlots();
  DestroyWindow(owner);
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace pinnafex

int main() {
  pinnafex::Run();
  return 0;
}
