#include "splash/splash.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <vector>

namespace pinnafex {
namespace {

constexpr WORD kMissingBitmapId = 4242;

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

// What cannot be driven from outside: the child mode the program does not use (on the caller's
// thread, closed by its timer), and creations that fail. (The parent stays hidden: under Xvfb
// without a window manager Wine waits about 2 s whenever a visible top-level window goes.)
TEST(Splash, ChildModeAndFailedCreationsLeaveNothingBehind) {
  HWND parent =
      CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
  HWND splash = ShowSplash(GetModuleHandleA(nullptr), parent, kSplashBitmapId, 0);
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(GetWindowThreadProcessId(splash, nullptr), GetCurrentThreadId());
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
  DestroyWindow(parent);

  // Top-level mode runs on a thread of its own, which a missing bitmap must not leave running.
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
