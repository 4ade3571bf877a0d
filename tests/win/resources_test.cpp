// What the built exe carries: the exe beside the tests and, where PINNAFEX_SHIPPED_EXE names
// it, the shipped i686 one (a resource-only load works across architectures); then the splash
// that shows its picture, in what the bar cannot be driven into.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/bar_ids.h"
#include "splash/splash.h"

namespace pinnafex {
namespace {

std::vector<std::string> Exes() {
  char path[MAX_PATH];
  std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  std::vector<std::string> exes{own.substr(0, own.find_last_of("\\/") + 1) + "pinnafex.exe"};
  if (const char* shipped = std::getenv("PINNAFEX_SHIPPED_EXE")) exes.emplace_back(shipped);
  return exes;
}

std::string Resource(const std::string& exe, LPCSTR name, int type) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(type));
  const char* data =
      found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
  const std::string bytes = data ? std::string(data, SizeofResource(module, found)) : "";
  FreeLibrary(module);
  return bytes;
}

std::string TextOf(HWND window) {
  char text[64] = "";
  GetClassNameA(window, text, sizeof text);
  std::string look = text;
  GetWindowTextA(window, text, sizeof text);
  return look + " " + text;
}

// The bar as each exe's template builds it: each control the code looks up is there, once,
// with its caption (where the layout puts them is checked end to end). Then the exe's icon
// and manifest.
TEST(Resources, TemplateHoldsEveryControlOfTheCodesTable) {
  for (const std::string& exe : Exes()) {
    SCOPED_TRACE(exe);
    const std::string bar = Resource(exe, "IDD_DIALOG1", 5);  // RT_DIALOG
    ASSERT_FALSE(bar.empty());
    HWND dialog = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(bar.data()),
                                             nullptr, nullptr, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    for (int i = 0; i < kSlotCount; ++i) {
      const std::string clip = "Clip " + std::to_string(i + 1);
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kSlotFrameIds[i])), "Button " + clip);
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kPopButtonIds[i])), "Button Pop") << clip;
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kPushButtonIds[i])), "Button Push") << clip;
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kSlotComboIds[i])).substr(0, 8), "ComboBox") << clip;
    }
    std::vector<int> seen(IDC_SPARE_COMBO + 1);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const int id = GetDlgCtrlID(child);
      ASSERT_TRUE(id >= IDC_SLOT_1_POP && id <= IDC_SPARE_COMBO) << id;
      ++seen[id];
    }
    for (int id = IDC_SLOT_1_POP; id <= IDC_SPARE_COMBO; ++id) EXPECT_EQ(seen[id], 1) << id;
    DestroyWindow(dialog);

    // The icon (the splash picture shows end to end), and what the loader reads: no elevation
    // prompt, and Windows 10 and each monitor's DPI declared, so no older behaviour is served.
    EXPECT_FALSE(Resource(exe, "IDI_ICON1", 14).empty()) << "icon";       // RT_GROUP_ICON
    const std::string manifest = Resource(exe, MAKEINTRESOURCEA(1), 24);  // RT_MANIFEST
    for (const char* part :
         {"level=\"asInvoker\"", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", ">PerMonitorV2"})
      EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

constexpr WORD kMissingBitmapId = 4242;

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

// What cannot be driven from outside: creations that fail, as a child (the parent stays hidden:
// under Xvfb without a window manager Wine waits about 2 s whenever a visible top-level window
// goes) and on a thread of its own.
TEST(Splash, FailedCreationsLeaveNothingBehind) {
  HWND parent =
      CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
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
  HWND splash = ShowSplash(GetModuleHandleA(nullptr), nullptr, kSplashBitmapId, 100);
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(splash, nullptr));
  ASSERT_TRUE(!thread || WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0) << "its own time";
  if (thread) CloseHandle(thread);
  const int threads = ThreadsOfThisProcess();
  ASSERT_GT(threads, 0);
  EXPECT_EQ(ShowSplash(GetModuleHandleA(nullptr), nullptr, kMissingBitmapId, 0), nullptr);
  for (int i = 0; i < 50 && ThreadsOfThisProcess() > threads; ++i) Sleep(100);
  EXPECT_EQ(ThreadsOfThisProcess(), threads) << "a missing bitmap left its thread running";
}

}  // namespace
}  // namespace pinnafex
