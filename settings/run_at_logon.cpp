#include "settings/run_at_logon.h"

#include <windows.h>

namespace pinnafex {

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Task Manager's "Disabled" lives here, apart from the Run value it disables.
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kValueName[] = L"Pinnafex";
// The first byte of an approval entry: odd when the entry is disabled (2 on, 3 off).
constexpr BYTE kDisabledBit = 0x01;

// The Run value for this exe: its full path in quotes, so a path with spaces starts it. False
// when the path cannot be had whole.
bool ThisExeCommand(wchar_t (&command)[MAX_PATH + 2]) {
  const DWORD length = GetModuleFileNameW(nullptr, command + 1, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  command[0] = L'"';
  command[length + 1] = L'"';
  command[length + 2] = L'\0';
  return true;
}

// The value's data when it has the type asked for; `size` in bytes, in and out.
bool ReadUserValue(const wchar_t* key, DWORD type, void* data, DWORD& size) {
  const DWORD only = type == REG_SZ ? RRF_RT_REG_SZ : RRF_RT_REG_BINARY;
  return RegGetValueW(HKEY_CURRENT_USER, key, kValueName, only, nullptr, data, &size) ==
         ERROR_SUCCESS;
}

bool DisabledByTaskManager() {
  BYTE approval[12] = {};
  DWORD size = sizeof approval;
  return ReadUserValue(kApprovedKey, REG_BINARY, approval, size) && size > 0 &&
         (approval[0] & kDisabledBit);
}

}  // namespace

bool StartsAtLogon() {
  wchar_t command[MAX_PATH + 2];
  wchar_t stored[MAX_PATH + 3] = L"";
  DWORD size = sizeof stored - sizeof(wchar_t);  // the zero behind it stays, stored or not
  if (!ThisExeCommand(command) || !ReadUserValue(kRunKey, REG_SZ, stored, size)) return false;
  // A moved folder leaves a value that names another exe: that one is not this bar.
  return lstrcmpiW(stored, command) == 0 && !DisabledByTaskManager();
}

void SetStartAtLogon(bool on) {
  HKEY run = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &run,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  wchar_t command[MAX_PATH + 2];
  if (!on) {
    RegDeleteValueW(run, kValueName);
  } else if (ThisExeCommand(command)) {
    RegSetValueExW(run, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                   static_cast<DWORD>((lstrlenW(command) + 1) * sizeof(wchar_t)));
    HKEY approved = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_SET_VALUE, &approved) ==
        ERROR_SUCCESS) {
      RegDeleteValueW(approved, kValueName);  // no entry: enabled
      RegCloseKey(approved);
    }
  }
  RegCloseKey(run);
}

}  // namespace pinnafex
