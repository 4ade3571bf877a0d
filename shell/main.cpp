// Pinnafex: twenty clipboard texts at hand on a bar at the screen's edge.
#include <windows.h>

#include "shell/control_ids.h"
#include "shell/host_window.h"

using namespace pinnafex;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // Owned until the process ends; never released or closed.
  CreateMutexA(nullptr, TRUE, kProgramKey);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    MessageBoxA(nullptr, "Already running", kProgramKey, MB_ICONERROR);
    return 0;
  }
  if (!RegisterHostClass(instance)) return 0;
  HWND host = CreateHostWindow(instance);  // returns once the bar has ended
  if (!host) return 0;
  ShowWindow(host, showCommand);
  UpdateWindow(host);
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
