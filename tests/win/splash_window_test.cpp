// The splash window in both modes, observed from outside: its place, size, caption pixels,
// its thread, and how it closes.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "splash/dib.h"
#include "splash/splash.h"

namespace pinnafex {
namespace {

constexpr DWORD kDeadlineMs = 5000;
constexpr WORD kMissingBitmapId = 4242;
constexpr UINT kSplashCloseMessage = 1024;
constexpr UINT kSplashColorMessage = 1025;

HINSTANCE Instance() {
  return GetModuleHandleA(nullptr);
}

// Dispatches this thread's messages until `done` holds or the deadline passes.
bool PumpUntil(const std::function<bool()>& done, DWORD deadlineMs = kDeadlineMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    if (done()) return true;
    if (GetTickCount() - start > deadlineMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// Dispatches everything already queued for this thread, paints included.
void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

bool QuitPosted() {
  MSG message;
  return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

int ThreadsOfThisProcess() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry;
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == GetCurrentProcessId();
  }
  CloseHandle(snapshot);
  return count;
}

bool ThreadEnds(DWORD threadId) {
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
  if (!thread) return true;  // already gone
  const bool ended = WaitForSingleObject(thread, kDeadlineMs) == WAIT_OBJECT_0;
  CloseHandle(thread);
  return ended;
}

int SplashWindowsOfThisProcess() {
  struct Count {
    int windows = 0;
    static BOOL CALLBACK Visit(HWND window, LPARAM param) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      char name[64] = {};
      GetClassNameA(window, name, sizeof(name));
      if (process == GetCurrentProcessId() && std::strcmp(name, "SplashScreenClass") == 0) {
        ++reinterpret_cast<Count*>(param)->windows;
      }
      return TRUE;
    }
  } count;
  EnumWindows(Count::Visit, reinterpret_cast<LPARAM>(&count));
  return count.windows;
}

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

// The window's client area as shown, read back into 0x00RRGGBB pixels, top row first.
struct Shot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  COLORREF At(int x, int y) const {
    const std::uint32_t p = pixels[std::size_t(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Pixels of one colour within rows [top, bottom).
  int Count(COLORREF color, int top, int bottom) const {
    int n = 0;
    for (int y = top < 0 ? 0 : top; y < bottom && y < height; ++y) {
      for (int x = 0; x < width; ++x) n += At(x, y) == color;
    }
    return n;
  }
};

Shot TakeShot(HWND window) {
  Shot shot;
  RECT client;
  GetClientRect(window, &client);
  shot.width = client.right;
  shot.height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  shot.pixels.assign(first, first + std::size_t(shot.width) * shot.height);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return shot;
}

constexpr int kBand = 40;
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Caption pixels of a colour in the band at the bottom of the client area.
int CaptionPixels(HWND window, COLORREF color) {
  const Shot shot = TakeShot(window);
  return shot.Count(color, shot.height - kBand, shot.height);
}

// Under Xvfb without a window manager, Wine waits about 2 s whenever a visible top-level
// window is hidden or destroyed; so the child tests share one top-level host, and each
// parent is a child window of it, which comes and goes at once.
class SplashChild : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = DefWindowProcA;
    hostClass.hInstance = Instance();
    hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    hostClass.lpszClassName = "SplashTestHost";
    RegisterClassA(&hostClass);
    host_ = CreateWindowExA(0, "SplashTestHost", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                            640, 480, nullptr, nullptr, Instance(), nullptr);
    PumpPending();
  }
  static void TearDownTestSuite() {
    DestroyWindow(host_);
    PumpPending();
  }
  static HWND host_;
};
HWND SplashChild::host_ = nullptr;

// A parent whose client area is exactly width x height.
struct Parent {
  HWND window;
  Parent(HWND host, int width, int height) {
    window = CreateWindowExA(0, "SplashTestHost", "", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                             host, nullptr, Instance(), nullptr);
    PumpPending();
  }
  ~Parent() {
    if (IsWindow(window)) DestroyWindow(window);
    PumpPending();
  }
};

SIZE ImageSize(WORD id) {
  DibBlock block = LoadDibResource(Instance(), MAKEINTRESOURCEA(id));
  const SIZE size = {DibWidth(block), DibHeight(block)};
  FreeDibBlock(block);
  return size;
}

TEST_F(SplashChild, CentredInTheParentOnTheCallersThread) {
  struct Row {
    int parentWidth, parentHeight;
    int x, y;  // in the parent's client coordinates
  };
  // 328 x 213 in each; offsets truncate toward zero.
  const Row rows[] = {
      {600, 400, 136, 93}, {328, 213, 0, 0}, {327, 212, 0, 0}, {200, 100, -64, -56}};
  const SIZE image = ImageSize(kSplashBitmapId);
  ASSERT_EQ(image.cx, 328);
  ASSERT_EQ(image.cy, 213);
  for (const Row& row : rows) {
    Parent parent(host_, row.parentWidth, row.parentHeight);
    const int threadsBefore = ThreadsOfThisProcess();
    HWND splash = ShowSplash(Instance(), parent.window, kSplashBitmapId, 0);
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << "child mode starts no thread";
    EXPECT_EQ(GetParent(splash), parent.window);
    EXPECT_EQ(GetWindowThreadProcessId(splash, nullptr), GetCurrentThreadId());
    EXPECT_TRUE(IsWindowVisible(splash));
    const LONG_PTR style = GetWindowLongPtrA(splash, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_DISABLED), WS_CHILD | WS_DISABLED);
    EXPECT_TRUE(GetWindowLongPtrA(splash, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    RECT rect;
    GetWindowRect(splash, &rect);
    EXPECT_EQ(rect.right - rect.left, image.cx);
    EXPECT_EQ(rect.bottom - rect.top, image.cy);
    MapWindowPoints(nullptr, parent.window, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, row.x) << "parent " << row.parentWidth << "x" << row.parentHeight;
    EXPECT_EQ(rect.top, row.y) << "parent " << row.parentWidth << "x" << row.parentHeight;
    DestroyWindow(splash);
    EXPECT_FALSE(QuitPosted()) << "a child splash posts no quit message";
  }
}

TEST_F(SplashChild, CaptionIsDrawnSetAndReplaced) {
  Parent parent(host_, 600, 400);
  HWND splash = ShowSplash(Instance(), parent.window, kSplashBitmapId, 0);
  ASSERT_NE(splash, nullptr);
  PumpPending();
  EXPECT_EQ(CaptionPixels(splash, kBlack), 0) << "no caption yet: only the blue bands";

  SetSplashText(splash, "Pinnafex\nwww.example.org");
  EXPECT_EQ(WindowText(splash), "Pinnafex\nwww.example.org");
  ASSERT_TRUE(PumpUntil([&] { return CaptionPixels(splash, kBlack) > 0; }));

  // Two lines from the top of the band, each centred in it.
  HDC dc = GetDC(splash);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  ReleaseDC(splash, dc);
  const int line = metrics.tmHeight;
  Shot shot = TakeShot(splash);
  const int top = shot.height - kBand;
  EXPECT_GT(shot.Count(kBlack, top, top + line), 0) << "first line";
  EXPECT_GT(shot.Count(kBlack, top + line, top + 2 * line), 0) << "second line";
  for (int first = 0; first < 2; ++first) {
    int left = shot.width, right = -1;
    for (int y = top + first * line; y < top + (first + 1) * line && y < shot.height; ++y) {
      for (int x = 0; x < shot.width; ++x) {
        if (shot.At(x, y) != kBlack) continue;
        left = x < left ? x : left;
        right = x > right ? x : right;
      }
    }
    EXPECT_LE(std::abs((left + right) - (shot.width - 1)), 6)
        << "line " << first << " spans " << left << ".." << right << " of " << shot.width;
  }

  SetSplashText(splash, "Other");
  EXPECT_EQ(WindowText(splash), "Other");
  PumpPending();
  shot = TakeShot(splash);
  EXPECT_GT(shot.Count(kBlack, top, top + line), 0) << "replacing caption";
  EXPECT_EQ(shot.Count(kBlack, top + line, shot.height), 0) << "old second line gone";

  SetSplashText(splash, "");
  PumpPending();
  EXPECT_EQ(CaptionPixels(splash, kBlack), 0) << "an empty caption leaves the image alone";

  SetSplashText(splash, "Again");
  PumpPending();
  ASSERT_GT(CaptionPixels(splash, kBlack), 0);
  SetSplashText(splash, nullptr);
  PumpPending();
  EXPECT_EQ(CaptionPixels(splash, kBlack), 0) << "a null caption clears it";
  EXPECT_EQ(WindowText(splash), "");
  DestroyWindow(splash);
}

TEST_F(SplashChild, ColourMessageWithAndWithoutRepaint) {
  Parent parent(host_, 600, 400);
  HWND splash = ShowSplash(Instance(), parent.window, kSplashBitmapId, 0);
  ASSERT_NE(splash, nullptr);
  SetSplashText(splash, "Pinnafex");
  PumpPending();
  ASSERT_GT(CaptionPixels(splash, kBlack), 0);

  const COLORREF red = RGB(255, 0, 0);
  EXPECT_EQ(SetSplashTextColor(splash, red, 1), 0);
  PumpPending();
  EXPECT_GT(CaptionPixels(splash, red), 0) << "repainted at once";
  EXPECT_EQ(CaptionPixels(splash, kBlack), 0);

  const COLORREF green = RGB(0, 255, 0);
  EXPECT_EQ(SetSplashTextColor(splash, green, 0), 0);
  PumpPending();
  EXPECT_EQ(CaptionPixels(splash, green), 0) << "only stored";
  EXPECT_GT(CaptionPixels(splash, red), 0);

  InvalidateRect(splash, nullptr, FALSE);
  UpdateWindow(splash);
  EXPECT_GT(CaptionPixels(splash, green), 0) << "shown at the next paint";
  EXPECT_EQ(CaptionPixels(splash, red), 0);

  // The colour message itself, as another program might send it.
  const COLORREF yellow = RGB(255, 255, 0);
  EXPECT_EQ(SendMessageA(splash, kSplashColorMessage, yellow, 1), 0);
  PumpPending();
  EXPECT_GT(CaptionPixels(splash, yellow), 0);
  EXPECT_EQ(CaptionPixels(splash, green), 0);
  DestroyWindow(splash);
}

TEST_F(SplashChild, OnlyTimerOneClosesIt) {
  Parent parent(host_, 600, 400);
  HWND splash = ShowSplash(Instance(), parent.window, kSplashBitmapId, 0);
  ASSERT_NE(splash, nullptr);
  for (WPARAM id : {0, 2, 123}) {
    EXPECT_EQ(SendMessageA(splash, WM_TIMER, id, 0), 0);
    EXPECT_TRUE(IsWindow(splash)) << "timer " << id;
  }
  SendMessageA(splash, WM_TIMER, 1, 0);
  EXPECT_FALSE(IsWindow(splash));
  EXPECT_FALSE(QuitPosted());
}

TEST_F(SplashChild, PaletteMessages) {
  Parent parent(host_, 600, 400);
  HWND splash = ShowSplash(Instance(), parent.window, kSplashBitmapId, 0);
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(SendMessageA(splash, WM_QUERYNEWPALETTE, 0, 0), 1);
  EXPECT_EQ(SendMessageA(splash, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(splash), 0), 0);
  EXPECT_EQ(SendMessageA(splash, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(parent.window), 0), 0);
  EXPECT_TRUE(IsWindow(splash));
  DestroyWindow(splash);
}

TEST_F(SplashChild, ClosesByItselfAndOnRequest) {
  Parent parent(host_, 600, 400);
  HWND timed = ShowSplash(Instance(), parent.window, kSplashBitmapId, 50);
  ASSERT_NE(timed, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(timed); })) << "auto-close timer";

  HWND asked = ShowSplash(Instance(), parent.window, kSplashBitmapId, 0);
  ASSERT_NE(asked, nullptr);
  CloseSplash(asked);
  EXPECT_TRUE(IsWindow(asked)) << "the close request is posted, not sent";
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(asked); }));

  HWND sent = ShowSplash(Instance(), parent.window, kSplashBitmapId, 0);
  ASSERT_NE(sent, nullptr);
  EXPECT_EQ(SendMessageA(sent, kSplashCloseMessage, 0, 0), 0);
  EXPECT_FALSE(IsWindow(sent)) << "the close message itself acts at once";

  HWND forever = ShowSplash(Instance(), parent.window, kSplashBitmapId, 0);
  ASSERT_NE(forever, nullptr);
  PumpPending();
  EXPECT_TRUE(IsWindow(forever)) << "no auto-close time: stays";
  DestroyWindow(parent.window);
  EXPECT_FALSE(IsWindow(forever)) << "goes with its parent";
  EXPECT_FALSE(QuitPosted());
}

TEST_F(SplashChild, MissingBitmapGivesNoWindow) {
  Parent parent(host_, 600, 400);
  EXPECT_EQ(ShowSplash(Instance(), parent.window, kMissingBitmapId, 0), nullptr);
  EXPECT_EQ(GetWindow(parent.window, GW_CHILD), nullptr);
  EXPECT_FALSE(QuitPosted());
}

// The user-data slot of each splash window as its destroy messages arrive.
std::vector<LONG_PTR> gDestroyedData;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (call->message == WM_DESTROY || call->message == WM_NCDESTROY) {
    if (IsSplashWindow(call->hwnd))
      gDestroyedData.push_back(GetWindowLongPtrA(call->hwnd, GWLP_USERDATA));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LONG_PTR WINAPI StoreThenFail(HWND window, int index, LONG_PTR value) {
  const LONG_PTR before = SetWindowLongPtrA(window, index, value);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return before;
}

// The creation fails after the store took: the destroy step must find no record to free again.
TEST_F(SplashChild, FailedStoreLeavesNoRecordBehind) {
  Parent parent(host_, 600, 400);
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
  gSplashStore = StoreThenFail;
  EXPECT_EQ(ShowSplash(Instance(), parent.window, kSplashBitmapId, 1000), nullptr);
  gSplashStore = SetWindowLongPtrA;
  UnhookWindowsHookEx(hook);
  ASSERT_FALSE(gDestroyedData.empty()) << "the failed window was never destroyed";
  for (LONG_PTR data : gDestroyedData) EXPECT_EQ(data, 0) << "the freed record is still stored";
}

TEST(SplashTopLevel, CentredOnTheScreenOnItsOwnThread) {
  const SIZE image = ImageSize(kSplashBitmapId);
  HWND splash = ShowSplash(Instance(), nullptr, kSplashBitmapId, 0);
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(IsWindowVisible(splash)) << "shown before ShowSplash returns";
  EXPECT_EQ(GetParent(splash), nullptr);
  const DWORD thread = GetWindowThreadProcessId(splash, nullptr);
  EXPECT_NE(thread, GetCurrentThreadId());
  const LONG_PTR style = GetWindowLongPtrA(splash, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_DISABLED), WS_POPUP | WS_DISABLED);
  EXPECT_TRUE(GetWindowLongPtrA(splash, GWL_EXSTYLE) & WS_EX_TOPMOST);

  RECT rect;
  GetWindowRect(splash, &rect);
  EXPECT_EQ(rect.right - rect.left, image.cx);
  EXPECT_EQ(rect.bottom - rect.top, image.cy);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - image.cx) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - image.cy) / 2);

  SetSplashText(splash, "Pinnafex\nwww.example.org");
  EXPECT_EQ(WindowText(splash), "Pinnafex\nwww.example.org");
  EXPECT_TRUE(PumpUntil([&] { return CaptionPixels(splash, kBlack) > 0; }))
      << "the splash thread paints the caption";

  CloseSplash(splash);
  EXPECT_TRUE(ThreadEnds(thread)) << "closing ends the splash thread";
  EXPECT_FALSE(IsWindow(splash));
  EXPECT_FALSE(QuitPosted()) << "the quit message went to the splash thread";
}

// The second bitmap, which nothing else shows, sizes its window the same way.
TEST(SplashTopLevel, SecondBitmapClosedByTimerOneOnly) {
  constexpr WORD kSecondBitmapId = 12633;
  const SIZE image = ImageSize(kSecondBitmapId);
  HWND splash = ShowSplash(Instance(), nullptr, kSecondBitmapId, 0);
  ASSERT_NE(splash, nullptr);
  RECT rect;
  GetWindowRect(splash, &rect);
  EXPECT_EQ(rect.right - rect.left, image.cx);
  EXPECT_EQ(rect.bottom - rect.top, image.cy);
  const DWORD thread = GetWindowThreadProcessId(splash, nullptr);
  SendMessageA(splash, WM_TIMER, 2, 0);
  EXPECT_TRUE(IsWindow(splash));
  PostMessageA(splash, WM_TIMER, 1, 0);
  EXPECT_TRUE(ThreadEnds(thread));
  EXPECT_FALSE(IsWindow(splash));
}

struct LateCalls {
  HWND splash;
  int color;
};

DWORD WINAPI RunLateCalls(void* param) {
  auto* calls = static_cast<LateCalls*>(param);
  CloseSplash(calls->splash);
  SetSplashText(calls->splash, "late");
  calls->color = SetSplashTextColor(calls->splash, RGB(255, 0, 0), 1);
  return 0;
}

// After the timer has closed it, the operations on the stale handle neither act nor block.
TEST(SplashTopLevel, OperationsAfterTheTimerClosedItDoNothing) {
  HWND splash = ShowSplash(Instance(), nullptr, kSplashBitmapId, 100);
  ASSERT_NE(splash, nullptr);
  const DWORD thread = GetWindowThreadProcessId(splash, nullptr);
  ASSERT_TRUE(ThreadEnds(thread)) << "auto-close after 100 ms";
  EXPECT_FALSE(IsSplashWindow(splash));

  LateCalls calls{splash, -1};
  HANDLE worker = CreateThread(nullptr, 0, RunLateCalls, &calls, 0, nullptr);
  ASSERT_NE(worker, nullptr);
  EXPECT_EQ(WaitForSingleObject(worker, kDeadlineMs), WAIT_OBJECT_0) << "they must not block";
  CloseHandle(worker);
  EXPECT_EQ(calls.color, 0);
}

TEST(SplashTopLevel, MissingBitmapLeavesNoWindowOrThread) {
  const int threadsBefore = ThreadsOfThisProcess();
  ASSERT_GT(threadsBefore, 0);
  EXPECT_EQ(ShowSplash(Instance(), nullptr, kMissingBitmapId, 1000), nullptr);
  EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() == threadsBefore; }))
      << "threads now " << ThreadsOfThisProcess() << ", before " << threadsBefore;
  EXPECT_EQ(SplashWindowsOfThisProcess(), 0);
  EXPECT_FALSE(QuitPosted());
}

}  // namespace
}  // namespace pinnafex
