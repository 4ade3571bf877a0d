// One tick of the real bar, sent straight to its dialog procedure, and the parts of a tick
// that talk to the window system: what the idle bar costs between two timer messages.
#include <windows.h>

#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "clock/ticker.h"
#include "dock/layout.h"
#include "dock/win_geometry.h"
#include "shell/bar_dialog.h"
#include "base/bar_ids.h"

namespace pinnafex {
namespace bench {
namespace {

constexpr int kTicks = 100;
constexpr double kTickPeriodMsD = kTickPeriodMs;

void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

void ReportTick(const char* name, double ms) {
  Report(name, ms);
}

}  // namespace

void RunTickBench() {
  HWND bar =
      CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr, BarDialogProc, 0);
  if (!bar) {
    Report("tick.no_bar", static_cast<double>(GetLastError()));
    return;
  }
  Drain();
  const double tickMs = BestMs(
      5,
      [&] {
        SendMessageA(bar, WM_TIMER, kTickTimerId, 0);
        Drain();
      },
      kTicks);
  ReportTick("tick.whole_ms", tickMs);
  Report("tick.core_percent", 100 * tickMs / kTickPeriodMsD);
  ReportTick("tick.clock_field_ms", BestMs(
                                        5,
                                        [&] {
                                          const char* text = TickerText(25);
                                          SetDlgItemTextA(bar, kClockFieldId, text ? text : "");
                                          Drain();
                                        },
                                        kTicks));
  const int dpi = WindowDpi(bar);
  ReportTick("tick.combo_check_ms",
             BestMs(
                 5,
                 [&] {
                   ExpandDroppedCombos(bar, kEdgeTop, dpi, {0, 0, 1024, 768});
                 },
                 kTicks));
  ReportTick("tick.push_enable_ms", BestMs(
                                        5,
                                        [&] {
                                          const BOOL hasText = IsClipboardFormatAvailable(CF_TEXT);
                                          for (int push : kPushButtonIds)
                                            EnableWindow(GetDlgItem(bar, push), hasText);
                                        },
                                        kTicks));
  ReportTick("tick.get_dlg_item_ms", BestMs(
                                         5,
                                         [&] {
                                           for (int push : kPushButtonIds) GetDlgItem(bar, push);
                                         },
                                         kTicks));
  // What enabling costs when only a change of the clipboard's state is acted on.
  HWND pushButtons[kSlotCount];
  for (int i = 0; i < kSlotCount; ++i) pushButtons[i] = GetDlgItem(bar, kPushButtonIds[i]);
  ReportTick("tick.clipboard_check_ms",
             BestMs(
                 5, [&] { IsClipboardFormatAvailable(CF_TEXT); }, kTicks));
  ReportTick("tick.enabled_check_ms", BestMs(
                                          5,
                                          [&] {
                                            for (HWND push : pushButtons) IsWindowEnabled(push);
                                          },
                                          kTicks));
  DestroyWindow(bar);
  Drain();
}

}  // namespace bench
}  // namespace pinnafex
