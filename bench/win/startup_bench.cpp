// Start-up of the real program: from the call that starts its process to its splash window
// and to its bar being visible. The program is then quit the way a user does.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "base/bar_ids.h"

namespace pinnafex {
namespace bench {
namespace {

constexpr char kBarTitle[] = "Pinnafex";
constexpr char kDialogClass[] = "#32770";
constexpr char kSplashClass[] = "SplashScreenClass";
constexpr double kAppearTimeoutMs = 60000;
constexpr double kQuitTimeoutMs = 20000;

struct Search {
  DWORD pid;
  const char* cls;
  const char* title;  // null: any other title than the bar's
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->pid || !IsWindowVisible(hwnd)) return TRUE;
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::strcmp(cls, search->cls) != 0) return TRUE;
  char title[64] = "";
  GetWindowTextA(hwnd, title, sizeof title);
  const bool isBar = std::strcmp(title, kBarTitle) == 0;
  if (search->title ? !isBar : isBar) return TRUE;
  search->found = hwnd;
  return FALSE;
}

// A visible top-level window of the process: the class and, for the bar, its title.
HWND VisibleWindow(DWORD pid, const char* cls, const char* title) {
  Search search{pid, cls, title, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Cancel on the bar asks "Really Quit?"; Yes ends the program.
void Quit(const PROCESS_INFORMATION& process, HWND bar) {
  PostMessageA(bar, WM_COMMAND, kCmdCancel, 0);
  const double deadline = NowMs() + kQuitTimeoutMs;
  while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT && NowMs() < deadline) {
    if (HWND box = VisibleWindow(process.dwProcessId, kDialogClass, nullptr)) {
      PostMessageA(box, WM_COMMAND, IDYES, 0);
    }
  }
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
}

struct StartTimes {
  double splashMs = -1;
  double barMs = -1;
};

StartTimes StartOnce(const std::string& exe) {
  StartTimes times;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + exe + "\"";
  const double start = NowMs();
  if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return times;
  }
  HWND bar = nullptr;
  while (!bar && NowMs() - start < kAppearTimeoutMs) {
    if (times.splashMs < 0 && VisibleWindow(process.dwProcessId, kSplashClass, nullptr)) {
      times.splashMs = NowMs() - start;
    }
    bar = VisibleWindow(process.dwProcessId, kDialogClass, kBarTitle);
    if (bar) times.barMs = NowMs() - start;
    Sleep(1);
  }
  if (bar)
    Quit(process, bar);
  else
    TerminateProcess(process.hProcess, 1);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return times;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

}  // namespace

double MedianBarMs(const std::string& exe, int runs) {
  StartOnce(exe);  // the first start after a change of setting warms the caches
  std::vector<double> bar;
  for (int i = 0; i < runs; ++i) {
    const double ms = StartOnce(exe).barMs;
    if (ms >= 0) bar.push_back(ms);
  }
  return Median(bar);
}

// The first start warms the prefix's caches and is reported apart; the rest give medians.
void RunStartupBench(const std::string& exe, int runs) {
  const StartTimes first = StartOnce(exe);
  Report("startup.first_bar_ms", first.barMs);
  std::vector<double> splash, bar, afterSplash;
  for (int i = 0; i < runs; ++i) {
    const StartTimes t = StartOnce(exe);
    if (t.barMs < 0) continue;
    bar.push_back(t.barMs);
    if (t.splashMs >= 0) {
      splash.push_back(t.splashMs);
      afterSplash.push_back(t.barMs - t.splashMs);
    }
  }
  Report("startup.runs", static_cast<double>(bar.size()));
  Report("startup.splash_ms", Median(splash));
  Report("startup.bar_ms", Median(bar));
  Report("startup.bar_after_splash_ms", Median(afterSplash));
  // Of the start-up after the splash: the dialog manager building the bar's template.
  Report("startup.template_ms", BestMs(3, [] {
           DestroyWindow(CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr,
                                            PlainDialog, 0));
         }));
}

}  // namespace bench
}  // namespace pinnafex
