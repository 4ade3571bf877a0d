#include "shell/hotkeys.h"

#include <process.h>

#include <atomic>

#include "base/bar_ids.h"
#include "clock/ticker.h"
#include "shell/copy_arming.h"
#include "shell/hotkey_table.h"
#include "slots/slot_store.h"

namespace pinnafex {

InputSender gSendInput = SendInput;

namespace {

static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT,
              "hotkey modifiers as RegisterHotKey takes them");

// Windows 7 and later: holding the key down acts once. Wine ignores it; the key watch below
// does the same there.
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT
constexpr UINT kCopyPollMs = 30;
// Marks our own keystrokes for the key watch.
constexpr ULONG_PTR kOwnKeys = 0x5046584B;
constexpr ULONG_PTR kOwnRepress = 0x50465852;
constexpr DWORD kWatchStartMs = 2000;

bool gHeld[kHotkeyCount];  // the dialog holds the key
CopyArming gArming;

// The key watch: a low-level keyboard hook on a thread of its own, so that a busy bar never
// delays the keyboard. It follows the keys the user's hands press and release (never the
// injected ones) and drops a modifier we press again after the user has let go of it.
std::atomic<bool> gWatching{false};
std::atomic<bool> gDown[256];
std::atomic<bool> gReleased[256];  // let go of since the last hotkey on it acted
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
    if (!(key.flags & LLKHF_INJECTED)) {
      gDown[vk] = !up;
      if (up) gReleased[vk] = true;
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
  HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, WatchKey, GetModuleHandleA(nullptr), 0);
  gWatching = hook != nullptr;
  SetEvent(static_cast<HANDLE>(started));
  if (!hook) return 0;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  gWatching = false;
  UnhookWindowsHookEx(hook);
  return 0;
}

void StartKeyWatch() {
  for (int vk = 0; vk < 256; ++vk) {
    gDown[vk] = GetAsyncKeyState(vk) < 0;
    gReleased[vk] = true;
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

// False for the repeats of a key held down; without the watch every one counts.
bool FreshPress(int key) {
  return !gWatching || gReleased[SlotHotkey(key).virtualKey].exchange(false);
}

bool Register(HWND dialog, int key) {
  const HotkeyCombo combo = SlotHotkey(key);
  const int id = HotkeyId(key);
  // Older systems refuse the no-repeat flag; a key another program holds fails both.
  return RegisterHotKey(dialog, id, combo.modifiers | kNoRepeat, combo.virtualKey) ||
         RegisterHotKey(dialog, id, combo.modifiers, combo.virtualKey);
}

unsigned HeldModifierKeys() {
  unsigned held = 0;
  for (int i = 0; i < kModifierKeyCount; ++i) {
    if (GetAsyncKeyState(kModifierKeys[i].virtualKey) < 0) held |= 1u << i;
  }
  return held;
}

// Ctrl+key into the window in front; false, heard and told, when the system took fewer.
bool SendShortcut(ShortcutKey shortcut) {
  KeyStroke strokes[kMaxPasteKeystrokes];
  const std::size_t count = ShortcutKeystrokes(HeldModifierKeys(), shortcut, strokes);
  INPUT inputs[kMaxPasteKeystrokes] = {};
  for (std::size_t i = 0; i < count; ++i) {
    KEYBDINPUT& key = inputs[i].ki;
    inputs[i].type = INPUT_KEYBOARD;
    key.wVk = strokes[i].virtualKey;
    key.wScan = static_cast<WORD>(MapVirtualKeyA(strokes[i].virtualKey, MAPVK_VK_TO_VSC));
    key.dwFlags =
        (strokes[i].up ? KEYEVENTF_KEYUP : 0u) | (strokes[i].extended ? KEYEVENTF_EXTENDEDKEY : 0u);
    key.dwExtraInfo = strokes[i].onlyIfHeld ? kOwnRepress : kOwnKeys;
  }
  if (gSendInput(static_cast<UINT>(count), inputs, sizeof(INPUT)) == count) return true;
  MessageBeep(MB_ICONWARNING);
  ShowTickerNotice(kKeysNotSentNotice, kNoticeTicks);
  return false;
}

// A window of the bar's own: a slot's secret must not land in the bar's edit fields.
bool BarInFront() {
  DWORD process = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &process);
  return process == GetCurrentProcessId();
}

bool ClipboardHasText() {
  return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}

HotkeyOutcome Nothing(HWND, int) {
  return {};
}

HotkeyOutcome Arm(HWND dialog, int) {
  SetDlgItemTextA(dialog, kClockFieldId, kCopyPrompt);  // at once, not at the next tick
  return {};
}

HotkeyOutcome Beep(HWND, int) {
  MessageBeep(MB_OK);
  return {};
}

HotkeyOutcome Paste(HWND dialog, int slot) {
  if (BarInFront()) return {};
  if (!SlotBlock(slot)) return Beep(dialog, slot);
  // A Pop that did not happen leaves the old text on the clipboard: pasting that would put the
  // wrong text into the program in front.
  const ClipResult popped = PopSlot(dialog, slot);
  if (popped == ClipResult::kDone) SendShortcut(kPasteKey);
  return {popped, -1};
}

HotkeyOutcome Copy(HWND, int) {
  HWND front = GetForegroundWindow();
  char windowClass[64] = "";
  GetClassNameA(front, windowClass, sizeof windowClass);
  if (BarInFront() || !SendShortcut(CopyKeyFor(windowClass))) gArming = {};
  return {};
}

HotkeyOutcome NothingCopied(HWND, int) {
  MessageBeep(MB_ICONWARNING);
  ShowTickerNotice(kNothingCopiedNotice, kNoticeTicks);
  return {};
}

// Changed, but to no text (a picture): the slot keeps what it holds.
HotkeyOutcome Push(HWND dialog, int slot) {
  if (!ClipboardHasText()) return NothingCopied(dialog, slot);
  return {ClipResult::kDone, slot};
}

struct ActionRow {
  KeyAction action;
  HotkeyOutcome (*handler)(HWND dialog, int slot);
};
constexpr ActionRow kActions[] = {
    {KeyAction::kNone, Nothing},
    {KeyAction::kArm, Arm},
    {KeyAction::kDisarm, Nothing},
    {KeyAction::kPaste, Paste},
    {KeyAction::kCopy, Copy},
    {KeyAction::kPush, Push},
    {KeyAction::kNothingCopied, NothingCopied},
    {KeyAction::kBusy, Beep},
};

HotkeyOutcome Act(HWND dialog, KeyEvent event, int slot) {
  const KeyAction action =
      StepCopyArming(gArming, event, slot, GetTickCount(), GetClipboardSequenceNumber());
  if (action == KeyAction::kPush) slot = gArming.slot;
  HotkeyOutcome outcome;
  for (const ActionRow& row : kActions) {
    if (row.action == action) outcome = row.handler(dialog, slot);
  }
  // The timer runs only while there is something to watch.
  if (gArming.armed || gArming.waiting) {
    if (event != KeyEvent::kTick) SetTimer(dialog, kCopyTimerId, kCopyPollMs, nullptr);
  } else {
    KillTimer(dialog, kCopyTimerId);
  }
  return outcome;
}

}  // namespace

void ApplyHotkeys(HWND dialog, bool on) {
  ReleaseHotkeys(dialog);
  if (!on) return;
  bool taken[kHotkeyCount] = {};
  for (int key = 0; key < kHotkeyCount; ++key) {
    gHeld[key] = Register(dialog, key);
    taken[key] = !gHeld[key];
  }
  StartKeyWatch();
  char notice[kTakenNoticeSize] = "";
  TakenHotkeysNotice(taken, notice);
  if (notice[0]) ShowTickerNotice(notice, 0);
}

void ReleaseHotkeys(HWND dialog) {
  for (int key = 0; key < kHotkeyCount; ++key) {
    if (gHeld[key]) UnregisterHotKey(dialog, HotkeyId(key));
    gHeld[key] = false;
  }
  StopKeyWatch();
  gArming = {};
  KillTimer(dialog, kCopyTimerId);
}

HotkeyOutcome ActOnHotkey(HWND dialog, WPARAM id) {
  const int key = SlotOfHotkeyId(static_cast<long long>(id));
  if (key < 0 || !FreshPress(key)) return {};
  return Act(dialog, key == kCopyHotkey ? KeyEvent::kCopyKey : KeyEvent::kSlotKey, key);
}

HotkeyOutcome ActOnCopyTimer(HWND dialog) {
  return Act(dialog, KeyEvent::kTick, -1);
}

const char* CopyPrompt() {
  return gArming.armed ? kCopyPrompt : nullptr;
}

void ConfirmCopy(int slot) {
  char notice[kCopiedNoticeSize] = "";
  CopiedNotice(slot, notice);
  ShowTickerNotice(notice, kNoticeTicks);
}

}  // namespace pinnafex
