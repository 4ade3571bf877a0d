// Pinnafex: twenty clipboard texts at hand on a bar at the screen's edge.
#include <windows.h>

#include "base/bar_ids.h"
#include "shell/host_window.h"
#include "splash/splash.h"

using namespace pinnafex;

namespace {
constexpr DWORD kSplashMs = 1000;
constexpr char kSplashCaption[] = "Pinnafex\nwww.quorvel.example";
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // The splash closes itself on its own thread; on the normal path nobody closes it.
  HWND splash = ShowSplash(instance, nullptr, kSplashBitmapId, kSplashMs);
  SetSplashText(splash, kSplashCaption);
  // Owned until the process ends; never released or closed.
  CreateMutexA(nullptr, TRUE, kProgramKey);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseSplash(splash);
    MessageBoxA(nullptr, "Already running", kProgramKey, MB_ICONERROR);
    return 0;
  }
  if (!RegisterHostClass(instance)) {
    CloseSplash(splash);
    return 0;
  }
  HWND host = CreateHostWindow(instance);  // returns once the bar has ended
  if (!host) {
    CloseSplash(splash);
    return 0;
  }
  ShowWindow(host, showCommand);
  UpdateWindow(host);
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
