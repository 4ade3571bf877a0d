#include "shell/key_watch.h"

#include <process.h>

#include <atomic>

#include "shell/hotkey_presses.h"
#include "shell/hotkeys.h"

namespace pinnafex {

KeyStateReader gKeyState = GetAsyncKeyState;
HookSetter gSetHook = SetWindowsHookExA;

namespace {

constexpr DWORD kWatchStartMs = 2000;
// The watch runs on a thread of its own: a moment for it to catch up with the system.
constexpr int kCatchUpTries = 5;
constexpr DWORD kCatchUpPauseMs = 10;

// A low-level keyboard hook on a thread of its own, so that a busy bar never delays the
// keyboard. It follows the keys pressed and released by the user's hands and by other programs
// (never the bar's own keystrokes), counts each key's presses, and drops a modifier we press
// again after the user has let go of it.
std::atomic<bool> gWatching{false};
std::atomic<bool> gDown[256];
std::atomic<unsigned> gPresses[256];
std::atomic<unsigned> gUpMs[256];
unsigned gActed[256];  // presses acted on, by the bar's thread
HANDLE gWatchThread = nullptr;
DWORD gWatchThreadId = 0;

// Generic modifier codes as some sources report them, and their left and right keys.
struct SideRow {
  DWORD generic, left, right;
};
constexpr SideRow kSides[] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                              {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                              {VK_MENU, VK_LMENU, VK_RMENU}};
constexpr DWORD kRightShiftScan = 0x36;

BYTE SidedKey(const KBDLLHOOKSTRUCT& key) {
  for (const SideRow& row : kSides) {
    if (key.vkCode != row.generic) continue;
    const bool right = row.generic == VK_SHIFT ? key.scanCode == kRightShiftScan
                                               : (key.flags & LLKHF_EXTENDED) != 0;
    return static_cast<BYTE>(right ? row.right : row.left);
  }
  return static_cast<BYTE>(key.vkCode);
}

LRESULT CALLBACK WatchKey(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    const BYTE vk = SidedKey(key);
    const bool up = (key.flags & LLKHF_UP) != 0;
    const bool own = (key.flags & LLKHF_INJECTED) &&
                     (key.dwExtraInfo == kOwnKeys || key.dwExtraInfo == kOwnRepress);
    if (!own) {
      if (!up && !gDown[vk]) ++gPresses[vk];
      if (up) gUpMs[vk] = key.time;
      gDown[vk] = !up;
    } else if (key.dwExtraInfo == kOwnRepress && !up && !gDown[vk]) {
      return 1;  // released before our keystrokes came through: it stays up
    }
  }
  return CallNextHookEx(nullptr, code, message, data);
}

unsigned __stdcall WatchKeysThread(void* started) {
  // Every key waits for the hook, and Windows drops a hook that answers late: even on a busy
  // machine this thread must get the processor at once, for the moment each key takes.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue that WM_QUIT will come to
  HHOOK hook = gSetHook(WH_KEYBOARD_LL, WatchKey, GetModuleHandleA(nullptr), 0);
  gWatching = hook != nullptr;
  SetEvent(static_cast<HANDLE>(started));
  if (!hook) return 0;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  gWatching = false;
  UnhookWindowsHookEx(hook);
  return 0;
}

// The watch's Ctrl, Shift and Alt as the system has them.
bool WatchAgrees() {
  for (const SideRow& row : kSides) {
    if ((gDown[row.left] || gDown[row.right]) != (gKeyState(static_cast<int>(row.generic)) < 0))
      return false;
  }
  return true;
}

}  // namespace

void StartKeyWatch() {
  const unsigned now = GetTickCount();
  for (int vk = 0; vk < 256; ++vk) {
    gDown[vk] = gKeyState(vk) < 0;
    gPresses[vk] = 0;
    gActed[vk] = 0;
    gUpMs[vk] = now;  // a hotkey queued before counts as a repeat
  }
  HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!started) return;
  unsigned threadId = 0;
  gWatchThread =
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WatchKeysThread, started, 0, &threadId));
  gWatchThreadId = threadId;
  if (gWatchThread) WaitForSingleObject(started, kWatchStartMs);
  CloseHandle(started);
}

void StopKeyWatch() {
  if (!gWatchThread) return;
  PostThreadMessageA(gWatchThreadId, WM_QUIT, 0, 0);
  WaitForSingleObject(gWatchThread, kWatchStartMs);
  CloseHandle(gWatchThread);
  gWatchThread = nullptr;
  gWatching = false;
}

// Windows drops a hook that answered late: a press it missed still acts.
bool FreshPress(unsigned char vk) {
  const unsigned hotkeyMs = static_cast<unsigned>(GetMessageTime());
  PressVerdict verdict = PressVerdict::kWatchLost;
  for (int attempt = 0; gWatching && attempt < kCatchUpTries; ++attempt) {
    if (attempt) Sleep(kCatchUpPauseMs);
    const WatchedKey seen{gPresses[vk], gDown[vk], gUpMs[vk]};
    verdict = JudgeHotkey(seen, gActed[vk], hotkeyMs, WatchAgrees());
    if (verdict != PressVerdict::kWatchLost) return verdict == PressVerdict::kAct;
  }
  StopKeyWatch();
  StartKeyWatch();
  return true;
}

}  // namespace pinnafex
