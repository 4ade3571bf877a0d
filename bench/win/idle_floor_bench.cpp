// The floor under the idle bar's CPU share: a bare window whose 150 ms timer writes a
// scrolling text into one edit, as the bar's clock field gets it, and nothing else.
// tools/bench.sh measures this process from outside like the bar.
#include <windows.h>

#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "base/bar_ids.h"

namespace pinnafex {
namespace bench {
namespace {

constexpr char kText[] = "Sieben nach dreiviertel Zwoelf Mahlzeit! 11:52:00  Sonntag, 06.12.2026";
constexpr int kWidth = 25;
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT_PTR kEndTimer = 2;

struct Floor {
  HWND edit = nullptr;
  int position = 0;
};
Floor gFloor;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  char window[kWidth + 1] = "";
  const int length = static_cast<int>(sizeof kText) - 1;
  for (int i = 0; i < kWidth; ++i) window[i] = kText[(gFloor.position + i) % length];
  gFloor.position = (gFloor.position + 1) % length;
  SetWindowTextA(gFloor.edit, window);
}

void CALLBACK OnEnd(HWND, UINT, UINT_PTR, DWORD) {
  PostQuitMessage(0);
}

}  // namespace

void RunIdleFloor(int seconds) {
  HWND frame = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 40,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  gFloor.edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY, 4,
                                4, 190, 24, frame, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!frame || !gFloor.edit) {
    Report("floor.no_window", static_cast<double>(GetLastError()));
    return;
  }
  SetTimer(nullptr, kTickTimer, kTickPeriodMs, OnTick);
  SetTimer(nullptr, kEndTimer, static_cast<UINT>(seconds) * 1000, OnEnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  DestroyWindow(frame);
}

}  // namespace bench
}  // namespace pinnafex
