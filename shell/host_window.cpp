#include "shell/host_window.h"

#include "shell/bar_dialog.h"
#include "base/bar_ids.h"

namespace pinnafex {

namespace {

HINSTANCE gInstance = nullptr;

constexpr UINT_PTR kHostTimerIds[] = {1, 2, 3};

LRESULT OnCreate(HWND host, WPARAM, LPARAM) {
  // Unicode controls, so that a slot's drop-down shows texts of any script.
  DialogBoxParamW(gInstance, L"IDD_DIALOG1", host, BarDialogProc, 0);
  PostQuitMessage(0);  // the bar has ended: leave the message loop once it drains
  return 0;
}

LRESULT OnDestroy(HWND, WPARAM, LPARAM) {
  PostQuitMessage(0);
  return 0;
}

LRESULT OnClose(HWND host, WPARAM, LPARAM) {
  for (UINT_PTR id : kHostTimerIds) KillTimer(host, id);
  DestroyWindow(host);
  return 0;
}

LRESULT OnKeyDown(HWND host, WPARAM key, LPARAM) {
  if (key == VK_ESCAPE) SendMessageA(host, WM_CLOSE, 0, 0);
  return 0;
}

LRESULT Ignore(HWND, WPARAM, LPARAM) {
  return 0;
}

struct MessageRow {
  UINT message;
  LRESULT (*handler)(HWND host, WPARAM wParam, LPARAM lParam);
};
constexpr MessageRow kMessages[] = {
    {WM_CREATE, OnCreate},   {WM_DESTROY, OnDestroy}, {WM_CLOSE, OnClose},
    {WM_KEYDOWN, OnKeyDown}, {WM_COMMAND, Ignore},    {WM_TIMER, Ignore},
};

LRESULT CALLBACK HostWndProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const MessageRow& row : kMessages) {
    if (row.message == message) return row.handler(host, wParam, lParam);
  }
  return DefWindowProcA(host, message, wParam, lParam);
}

}  // namespace

bool RegisterHostClass(HINSTANCE instance) {
  WNDCLASSEXA cls{};
  cls.cbSize = sizeof cls;
  cls.style = CS_HREDRAW | CS_VREDRAW;
  cls.lpfnWndProc = HostWndProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  cls.lpszClassName = kProgramKey;
  cls.hIconSm =
      static_cast<HICON>(LoadImageA(instance, "IDI_ICON1", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  if (!RegisterClassExA(&cls)) return false;
  gInstance = instance;
  return true;
}

HWND CreateHostWindow(HINSTANCE instance) {
  return CreateWindowExA(0, kProgramKey, kProgramKey, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                         CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
}

}  // namespace pinnafex
