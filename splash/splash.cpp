#include "splash/splash.h"

#include <process.h>

#include <atomic>

#include "splash/dib.h"

namespace pinnafex {

SplashStore gSplashStore = SetWindowLongPtrA;

namespace {

constexpr char kSplashClassName[] = "SplashScreenClass";
constexpr UINT kSplashCloseMessage = WM_USER;
constexpr UINT kSplashColorMessage = WM_USER + 1;
constexpr UINT_PTR kSplashCloseTimer = 1;
constexpr int kCaptionBandHeight = 40;
constexpr UINT kCaptionFormat = DT_CENTER | DT_BOTTOM;
// The platform rounds this up to a page and reserves the program's usual stack behind it;
// everything big lives in global memory.
constexpr unsigned kSplashThreadStackBytes = 2000;

// Per window, in fixed global memory, its address in the user-data slot.
struct SplashRecord {
  UINT_PTR timerId;  // 0: no auto-close timer
  DibBlock bitmap;   // the window's own copy
  COLORREF textColor;
  char* text;  // the window's own caption copy, or null
};

struct SplashCreateParams {
  DibBlock bitmap;  // borrowed: the creation step copies it
  DWORD closeAfterMs;
};

// Lives on ShowSplash's stack; the thread touches it only until it sets `ready`.
struct SplashThreadStart {
  HINSTANCE instance;
  DibBlock bitmap;
  DWORD closeAfterMs;
  std::atomic<int> ready;
  HWND window;
};

SplashRecord* RecordOf(HWND window) {
  return reinterpret_cast<SplashRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void RequestRepaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INTERNALPAINT);
}

void FreeCaption(SplashRecord* record) {
  if (record->text) GlobalFree(record->text);
  record->text = nullptr;
}

LRESULT OnCreate(HWND window, LPARAM lParam) {
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  const auto* params = static_cast<const SplashCreateParams*>(create->lpCreateParams);
  auto* record = static_cast<SplashRecord*>(GlobalAlloc(GPTR, sizeof(SplashRecord)));
  if (!record) return -1;
  record->text = nullptr;
  record->textColor = 0;
  record->bitmap = params ? CopyDibBlock(params->bitmap) : nullptr;
  if (!record->bitmap) {
    GlobalFree(record);
    return -1;
  }
  if (params->closeAfterMs != 0) {
    record->timerId = SetTimer(window, kSplashCloseTimer, params->closeAfterMs, nullptr);
    if (record->timerId == 0) {
      FreeDibBlock(record->bitmap);
      GlobalFree(record);
      return -1;
    }
  }
  // The slot held 0 before, so only the last error tells a failure apart.
  SetLastError(0);
  gSplashStore(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
  if (GetLastError() != 0) {
    // The failed creation destroys the window: its destroy step must not free the record too.
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (record->timerId) KillTimer(window, record->timerId);
    FreeDibBlock(record->bitmap);
    GlobalFree(record);
    return -1;
  }
  return 0;
}

void OnDestroy(HWND window) {
  SplashRecord* record = RecordOf(window);
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  if (record) {
    FreeCaption(record);
    if (record->timerId) KillTimer(window, record->timerId);
    FreeDibBlock(record->bitmap);
    GlobalFree(record);
  }
  // A top-level splash owns its thread's message loop; ending the loop ends the thread.
  if (!GetParent(window)) PostQuitMessage(0);
}

void OnSetText(HWND window, const char* text) {
  SplashRecord* record = RecordOf(window);
  if (!record) return;
  FreeCaption(record);
  // A null text clears the caption.
  if (text) {
    record->text = static_cast<char*>(GlobalAlloc(GPTR, SIZE_T(lstrlenA(text)) + 1));
    if (record->text) lstrcpyA(record->text, text);
  }
  RequestRepaint(window);
}

// Selects `palette` into `dc` and realises it; returns the palette it replaced.
HPALETTE UsePalette(HDC dc, HPALETTE palette) {
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  RealizePalette(dc);
  return previous;
}

// Composes image and caption off-screen and shows them in one transfer, so the window never
// shows the image without its caption.
void PaintSplash(HWND window) {
  SplashRecord* record = RecordOf(window);
  if (!record) return;
  HDC screen = GetDC(window);
  if (!screen) return;
  const int width = DibWidth(record->bitmap);
  const int height = DibHeight(record->bitmap);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP canvas = memory ? CreateCompatibleBitmap(screen, width, height) : nullptr;
  if (canvas) {
    HGDIOBJ previousBitmap = SelectObject(memory, canvas);
    RECT band;
    GetClientRect(window, &band);
    band.top = band.bottom - kCaptionBandHeight;

    HPALETTE palette = nullptr;
    HPALETTE previousScreenPalette = nullptr;
    HPALETTE previousMemoryPalette = nullptr;
    if (DibBitCount(record->bitmap) <= 8) palette = CreateDibPalette(record->bitmap);
    if (palette) {
      previousScreenPalette = UsePalette(screen, palette);
      previousMemoryPalette = UsePalette(memory, palette);
    }
    DrawDib(record->bitmap, memory, 0, 0);
    if (record->text) {
      SetBkMode(memory, TRANSPARENT);
      SetTextColor(memory, record->textColor);
      DrawTextA(memory, record->text, -1, &band, kCaptionFormat);
    }
    BitBlt(screen, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    if (palette) {
      SelectPalette(screen, previousScreenPalette, FALSE);
      SelectPalette(memory, previousMemoryPalette, FALSE);
      DeleteObject(palette);
    }
    SelectObject(memory, previousBitmap);
    DeleteObject(canvas);
  }
  if (memory) DeleteDC(memory);
  ReleaseDC(window, screen);
}

void RealizeSplashPalette(HWND window) {
  SplashRecord* record = RecordOf(window);
  if (!record) return;
  HPALETTE palette = CreateDibPalette(record->bitmap);
  if (!palette) return;
  HDC dc = GetDC(window);
  if (dc) {
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    if (RealizePalette(dc) != 0) RequestRepaint(window);
    SelectPalette(dc, previous, FALSE);
    ReleaseDC(window, dc);
  }
  DeleteObject(palette);
}

void CenterSplashWindow(HWND window) {
  int areaWidth = GetSystemMetrics(SM_CXSCREEN);
  int areaHeight = GetSystemMetrics(SM_CYSCREEN);
  if (HWND parent = GetParent(window)) {
    RECT client;
    GetClientRect(parent, &client);
    areaWidth = client.right - client.left;
    areaHeight = client.bottom - client.top;
  }
  RECT own;
  GetWindowRect(window, &own);
  // Plain int division truncates toward zero: a window larger than the area sits at a
  // negative offset with its centre on the area's centre.
  const int x = (areaWidth - (own.right - own.left)) / 2;
  const int y = (areaHeight - (own.bottom - own.top)) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

LRESULT CALLBACK SplashWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window, lParam);
    case WM_DESTROY:
      OnDestroy(window);
      return 0;
    case WM_SETTEXT:
      OnSetText(window, reinterpret_cast<const char*>(lParam));
      DefWindowProcA(window, WM_SETTEXT, 0, lParam);
      return 0;
    case WM_PAINT:
      PaintSplash(window);
      DefWindowProcA(window, WM_PAINT, 0, 0);  // validates the update region
      return 0;
    case WM_TIMER:
      if (wParam == kSplashCloseTimer) DestroyWindow(window);
      return 0;
    case WM_QUERYNEWPALETTE:
      RealizeSplashPalette(window);
      return 1;
    case WM_PALETTECHANGED:
      if (reinterpret_cast<HWND>(wParam) != window) RealizeSplashPalette(window);
      return 0;
    case kSplashCloseMessage:
      DestroyWindow(window);
      return 0;
    case kSplashColorMessage:
      if (SplashRecord* record = RecordOf(window)) {
        record->textColor = static_cast<COLORREF>(wParam);
        if (lParam != 0) RequestRepaint(window);
      }
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterSplashClass(HINSTANCE instance) {
  WNDCLASSA existing;
  if (GetClassInfoA(instance, kSplashClassName, &existing)) return true;
  WNDCLASSA splashClass = {};
  splashClass.style = 0;
  splashClass.lpfnWndProc = SplashWndProc;
  splashClass.cbClsExtra = 0;
  splashClass.cbWndExtra = 4;
  splashClass.hInstance = instance;
  splashClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  splashClass.lpszClassName = kSplashClassName;
  return RegisterClassA(&splashClass) != 0;
}

HWND CreateSplashWindow(HINSTANCE instance, HWND parent, DibBlock bitmap, DWORD closeAfterMs) {
  SplashCreateParams params{bitmap, closeAfterMs};
  const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_DISABLED;
  // Sized by the image; the dialog frame is taken from this outer size.
  return CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, kSplashClassName, nullptr, style, 0,
                         0, DibWidth(bitmap), DibHeight(bitmap), parent, nullptr, instance,
                         &params);
}

unsigned __stdcall SplashThreadProc(void* argument) {
  auto* start = static_cast<SplashThreadStart*>(argument);
  HWND window = CreateSplashWindow(start->instance, nullptr, start->bitmap, start->closeAfterMs);
  if (window) {
    CenterSplashWindow(window);
    ShowWindow(window, SW_SHOW);
  }
  start->window = window;
  start->ready.store(1, std::memory_order_release);
  // `start` belongs to ShowSplash's frame, which may be gone from here on.
  if (window) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  }
  _endthreadex(0);
  return 0;
}

}  // namespace

HWND ShowSplash(HINSTANCE instance, HWND parent, WORD bitmapId, DWORD closeAfterMs) {
  DibBlock bitmap = LoadDibResource(instance, MAKEINTRESOURCEA(bitmapId));
  if (!RegisterSplashClass(instance)) {
    FreeDibBlock(bitmap);
    return nullptr;
  }
  if (parent) {
    HWND window = CreateSplashWindow(instance, parent, bitmap, closeAfterMs);
    if (window) {
      CenterSplashWindow(window);
      ShowWindow(window, SW_SHOW);
    }
    FreeDibBlock(bitmap);
    return window;
  }
  SplashThreadStart start{instance, bitmap, closeAfterMs, {0}, nullptr};
  const uintptr_t thread =
      _beginthreadex(nullptr, kSplashThreadStackBytes, SplashThreadProc, &start, 0, nullptr);
  if (thread == 0) {
    FreeDibBlock(bitmap);
    return nullptr;
  }
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  while (start.ready.load(std::memory_order_acquire) == 0) {
  }
  FreeDibBlock(bitmap);
  return start.window;
}

void SetSplashText(HWND splash, const char* text) {
  if (IsSplashWindow(splash)) SendMessageA(splash, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int SetSplashTextColor(HWND splash, COLORREF color, int redraw) {
  if (!IsSplashWindow(splash)) return 0;
  return static_cast<int>(SendMessageA(splash, kSplashColorMessage, color, redraw));
}

void CloseSplash(HWND splash) {
  if (IsSplashWindow(splash)) PostMessageA(splash, kSplashCloseMessage, 0, 0);
}

BOOL IsSplashWindow(HWND window) {
  return IsWindow(window);
}

}  // namespace pinnafex
