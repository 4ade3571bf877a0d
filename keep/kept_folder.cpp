#include "keep/kept_folder.h"

#include <shlobj.h>

#include "base/bar_ids.h"

namespace pinnafex {

const wchar_t* gKeptFolder = nullptr;

namespace {

constexpr wchar_t kFolderName[] = L"\\Pinnafex";
constexpr int kBadNames = 100;  // slot-03.kept.bad, slot-03.kept.2.bad ... before giving up

// A file that is not there is as good as removed.
DWORD Remove(const wchar_t* path) {
  if (DeleteFileW(path)) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS : error;
}

}  // namespace

bool KeptFolder(wchar_t (&out)[MAX_PATH]) {
  if (gKeptFolder) return lstrcpynW(out, gKeptFolder, MAX_PATH) != nullptr;
  // Looked up once: the keeper's thread asks first, before any other caller.
  static wchar_t folder[MAX_PATH];
  if (!folder[0]) {
    wchar_t base[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)) ||
        lstrlenW(base) + lstrlenW(kFolderName) >= MAX_PATH) {
      return false;
    }
    lstrcatW(lstrcpyW(folder, base), kFolderName);
  }
  lstrcpyW(out, folder);
  return true;
}

bool KeptPath(int slot, const wchar_t* suffix, wchar_t (&out)[MAX_PATH]) {
  wchar_t name[32];
  wsprintfW(name, L"\\slot-%02d.kept%s", slot + 1, suffix);
  return KeptFolder(out) && lstrlenW(out) + lstrlenW(name) < MAX_PATH && lstrcatW(out, name);
}

DWORD PlaceKeptSlot(int slot) {
  wchar_t path[MAX_PATH];
  wchar_t temp[MAX_PATH];
  if (!KeptPath(slot, L"", path) || !KeptPath(slot, kTempSuffix, temp)) return ERROR_BAD_PATHNAME;
  return MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? ERROR_SUCCESS
             : GetLastError();
}

void SetAside(int slot) {
  wchar_t path[MAX_PATH];
  wchar_t aside[MAX_PATH];
  if (!KeptPath(slot, L"", path)) return;
  for (int n = 1; n <= kBadNames; ++n) {
    wchar_t suffix[16];
    wsprintfW(suffix, n == 1 ? L".bad" : L".%d.bad", n);
    if (KeptPath(slot, suffix, aside) && MoveFileExW(path, aside, MOVEFILE_WRITE_THROUGH)) return;
  }
}

DWORD RemoveKeptSlot(int slot) {
  wchar_t path[MAX_PATH];
  wchar_t temp[MAX_PATH];
  if (!KeptPath(slot, L"", path) || !KeptPath(slot, kTempSuffix, temp)) return ERROR_BAD_PATHNAME;
  // The ".tmp" first: one left behind would take the file's place at the next start.
  const DWORD error = Remove(temp);
  const DWORD fileError = Remove(path);
  return error ? error : fileError;
}

DWORD RemoveEveryKept() {
  wchar_t folder[MAX_PATH];
  wchar_t path[MAX_PATH];
  constexpr wchar_t kPattern[] = L"\\slot-*.kept*";
  if (!KeptFolder(folder) || lstrlenW(folder) + lstrlenW(kPattern) >= MAX_PATH) {
    return ERROR_BAD_PATHNAME;
  }
  lstrcatW(lstrcpyW(path, folder), kPattern);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(path, &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS : error;
  }
  DWORD error = ERROR_SUCCESS;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ||
        lstrlenW(folder) + 1 + lstrlenW(found.cFileName) >= MAX_PATH) {
      continue;
    }
    lstrcatW(lstrcatW(lstrcpyW(path, folder), L"\\"), found.cFileName);
    if (const DWORD failed = Remove(path)) error = failed;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return error;
}

bool AnyKept() {
  wchar_t path[MAX_PATH];
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const wchar_t* const suffixes[] = {L"", kTempSuffix};
    for (const wchar_t* suffix : suffixes) {
      if (KeptPath(slot, suffix, path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace pinnafex
