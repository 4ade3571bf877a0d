#include "shell/key_target.h"

#include "clock/ticker.h"
#include "shell/copy_arming.h"
#include "shell/key_watch.h"

namespace pinnafex {

namespace {

// Not in the headers of the oldest systems the bar runs on.
constexpr auto kTokenIntegrityLevel = static_cast<TOKEN_INFORMATION_CLASS>(25);
constexpr DWORD kQueryLimitedInformation = 0x1000;  // Vista and later

// The last sub-authority of the token's integrity label: its level.
bool ReadIntegrity(DWORD processId, DWORD& level) {
  HANDLE process = OpenProcess(kQueryLimitedInformation, FALSE, processId);
  if (!process) process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
  HANDLE token = nullptr;
  const bool opened = process && OpenProcessToken(process, TOKEN_QUERY, &token);
  if (process) CloseHandle(process);
  if (!opened) return false;
  alignas(SID_AND_ATTRIBUTES) BYTE label[128];
  DWORD size = 0;
  const bool read = GetTokenInformation(token, kTokenIntegrityLevel, label, sizeof label, &size);
  CloseHandle(token);
  if (!read) return false;
  PSID sid = reinterpret_cast<const SID_AND_ATTRIBUTES*>(label)->Sid;
  level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
  return true;
}

unsigned HeldModifierKeys() {
  unsigned held = 0;
  for (int i = 0; i < kModifierKeyCount; ++i) {
    if (GetAsyncKeyState(kModifierKeys[i].virtualKey) < 0) held |= 1u << i;
  }
  return held;
}

unsigned WindowsMajor() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) ? version.dwMajorVersion : 0;
}

}  // namespace

InputSender gSendInput = SendInput;
ForegroundReader gForegroundWindow = GetForegroundWindow;
IntegrityReader gReadIntegrity = ReadIntegrity;

bool OwnWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

// A system without levels has none.
bool Elevated(HWND window) {
  DWORD own = 0, theirs = 0, process = 0;
  if (!gReadIntegrity(GetCurrentProcessId(), own)) return false;
  GetWindowThreadProcessId(window, &process);
  return !gReadIntegrity(process, theirs) || theirs > own;
}

WindowKeys KeysOf(HWND window) {
  char windowClass[64] = "";
  GetClassNameA(window, windowClass, sizeof windowClass);
  char path[MAX_PATH] = "";
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (HANDLE handle = OpenProcess(kQueryLimitedInformation, FALSE, process)) {
    DWORD size = sizeof path;
    using ImageNameReader = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    const auto read = reinterpret_cast<ImageNameReader>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "QueryFullProcessImageNameA")));
    if (!read || !read(handle, 0, path, &size)) path[0] = '\0';
    CloseHandle(handle);
  }
  const char* file = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\') file = p + 1;
  }
  return KeysFor(windowClass, file, WindowsMajor());
}

bool SendShortcut(HWND front, ShortcutKey shortcut) {
  KeyStroke strokes[kMaxPasteKeystrokes];
  const std::size_t count = ShortcutKeystrokes(HeldModifierKeys(), shortcut, strokes);
  const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(front, nullptr));
  INPUT inputs[kMaxPasteKeystrokes] = {};
  for (std::size_t i = 0; i < count; ++i) {
    KEYBDINPUT& key = inputs[i].ki;
    inputs[i].type = INPUT_KEYBOARD;
    key.wVk = strokes[i].virtualKey;
    key.wScan = static_cast<WORD>(MapVirtualKeyExA(strokes[i].virtualKey, MAPVK_VK_TO_VSC, layout));
    key.dwFlags =
        (strokes[i].up ? KEYEVENTF_KEYUP : 0u) | (strokes[i].extended ? KEYEVENTF_EXTENDEDKEY : 0u);
    key.dwExtraInfo = strokes[i].onlyIfHeld ? kOwnRepress : kOwnKeys;
  }
  if (gSendInput(static_cast<UINT>(count), inputs, sizeof(INPUT)) == count) return true;
  MessageBeep(MB_ICONWARNING);
  ShowTickerNotice(kKeysNotSentNotice, kNoticeTicks);
  return false;
}

HotkeyOutcome Told(const char* notice) {
  MessageBeep(MB_ICONWARNING);
  ShowTickerNotice(notice, kNoticeTicks);
  return {};
}

}  // namespace pinnafex
