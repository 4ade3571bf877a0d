// The splash window in both modes, seen from outside: its place, its thread, how it closes.
#include "splash/splash.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <vector>

namespace pinnafex {
namespace {

constexpr WORD kMissingBitmapId = 4242;

bool QuitPosted() {
  MSG message;
  return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

bool Ends(DWORD threadId) {
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
  const bool ended = !thread || WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
  if (thread) CloseHandle(thread);
  return ended;
}

int ThreadsOfThisProcess() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{sizeof entry};
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    count += entry.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(snapshot);
  return count;
}

// The user-data slot of each splash window as its destroy messages arrive.
std::vector<LONG_PTR> gDestroyedData;
LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if ((call->message == WM_DESTROY || call->message == WM_NCDESTROY) && IsSplashWindow(call->hwnd))
    gDestroyedData.push_back(GetWindowLongPtrA(call->hwnd, GWLP_USERDATA));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
LONG_PTR WINAPI StoreThenFail(HWND window, int index, LONG_PTR value) {
  const LONG_PTR before = SetWindowLongPtrA(window, index, value);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return before;
}

// Child mode, on the caller's thread. (The parent stays hidden: under Xvfb without a window
// manager Wine waits about 2 s whenever a visible top-level window goes.)
TEST(Splash, ChildAndTopLevelModes) {
  HWND parent =
      CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
  HWND splash = ShowSplash(GetModuleHandleA(nullptr), parent, kSplashBitmapId, 0);
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(GetWindowThreadProcessId(splash, nullptr), GetCurrentThreadId());
  RECT rect;
  GetWindowRect(splash, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, (600 - 328) / 2);
  EXPECT_EQ(rect.top, (400 - 213) / 2);
  EXPECT_EQ(rect.right - rect.left, 328);
  for (WPARAM id : {0, 2, 123}) SendMessageA(splash, WM_TIMER, id, 0);
  EXPECT_TRUE(IsWindow(splash)) << "only timer 1 closes it";
  SendMessageA(splash, WM_TIMER, 1, 0);
  EXPECT_FALSE(IsWindow(splash));

  EXPECT_EQ(ShowSplash(GetModuleHandleA(nullptr), parent, kMissingBitmapId, 0), nullptr);
  // A creation that fails after the record was stored must not leave it there to be freed again.
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
  gSplashStore = StoreThenFail;
  EXPECT_EQ(ShowSplash(GetModuleHandleA(nullptr), parent, kSplashBitmapId, 1000), nullptr);
  gSplashStore = SetWindowLongPtrA;
  UnhookWindowsHookEx(hook);
  ASSERT_FALSE(gDestroyedData.empty()) << "the failed window was never destroyed";
  for (LONG_PTR data : gDestroyedData) EXPECT_EQ(data, 0) << "the freed record is still stored";
  EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr) << "a failed splash left a window";
  EXPECT_FALSE(QuitPosted()) << "a child splash posts no quit message";
  DestroyWindow(parent);

  // Top-level mode, on a thread of its own that ends with it.
  splash = ShowSplash(GetModuleHandleA(nullptr), nullptr, kSplashBitmapId, 0);
  ASSERT_NE(splash, nullptr);
  const DWORD thread = GetWindowThreadProcessId(splash, nullptr);
  EXPECT_NE(thread, GetCurrentThreadId());
  CloseSplash(splash);
  EXPECT_TRUE(Ends(thread));
  EXPECT_FALSE(QuitPosted()) << "the quit message went to the splash thread";

  splash = ShowSplash(GetModuleHandleA(nullptr), nullptr, kSplashBitmapId, 100);
  ASSERT_TRUE(Ends(GetWindowThreadProcessId(splash, nullptr))) << "its own time closes it";
  const int threads = ThreadsOfThisProcess();
  ASSERT_GT(threads, 0);
  EXPECT_EQ(ShowSplash(GetModuleHandleA(nullptr), nullptr, kMissingBitmapId, 0), nullptr);
  for (int i = 0; i < 50 && ThreadsOfThisProcess() > threads; ++i) Sleep(100);
  EXPECT_EQ(ThreadsOfThisProcess(), threads) << "a missing bitmap left its thread running";
}

}  // namespace
}  // namespace pinnafex
