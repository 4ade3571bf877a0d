#include "slots/clip_formats.h"

#include <atomic>
#include <cstring>

#include "slots/slot_store.h"
#include "slots/slot_text.h"

namespace pinnafex {

namespace {

constexpr const char* kPrivacyFormatNames[kPrivacyFormatCount] = {
    "ExcludeClipboardContentFromMonitorProcessing",
    "CanIncludeInClipboardHistory",
    "CanUploadToCloudClipboard",
    "Clipboard Viewer Ignore",
};

// A few tries, well inside half a second in all, so the bar never stalls longer.
constexpr int kOpenTries = 5;
constexpr DWORD kOpenRetryPauseMs = 100;
static_assert((kOpenTries - 1) * kOpenRetryPauseMs <= 400, "a held clipboard stalls the bar");

std::atomic<bool> gOwnMarkNoted{false};
std::atomic<DWORD> gOwnMarkSequence{0};

}  // namespace

void NoteOwnHistoryMark(DWORD sequence) {
  gOwnMarkSequence = sequence;
  gOwnMarkNoted = true;
}

bool IsOwnHistoryMark(UINT format) {
  return gOwnMarkNoted && format == PrivacyFormat(kHistoryMark) &&
         GetClipboardSequenceNumber() == gOwnMarkSequence;
}

UINT PrivacyFormat(int index) {
  static UINT formats[kPrivacyFormatCount];
  if (index < 0 || index >= kPrivacyFormatCount) return 0;
  if (!formats[index]) formats[index] = RegisterClipboardFormatA(kPrivacyFormatNames[index]);
  return formats[index];
}

bool OpenClipboardPatiently(HWND owner, OpenPause pause) {
  for (int attempt = 1;; ++attempt) {
    if (OpenClipboard(owner)) return true;
    if (attempt == kOpenTries) return false;
    pause(kOpenRetryPauseMs);
  }
}

LCID OfferedLocale() {
  LCID locale = LOWORD(HandleToUlong(GetKeyboardLayout(0)));
  if (HANDLE data = GetClipboardData(CF_LOCALE)) {
    if (const auto* offered = static_cast<const LCID*>(GlobalLock(data))) {
      if (GlobalSize(data) >= sizeof(LCID)) locale = *offered;
      GlobalUnlock(data);
    }
  }
  return locale;
}

UINT AnsiCodePageOf(LCID locale) {
  UINT codePage = CP_ACP;
  if (!GetLocaleInfoW(locale, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                      reinterpret_cast<wchar_t*>(&codePage), sizeof codePage / sizeof(wchar_t))) {
    return CP_ACP;
  }
  return codePage;
}

const std::int16_t* SingleByteTable(UINT codePage) {
  // On the heap once, not in the exe's data: 128 KB that only non-ASCII texts need.
  static std::int16_t* table = nullptr;
  static bool built = false;
  static UINT builtFor = 0;
  if (built && codePage == builtFor) return table;
  CPINFO info{};
  if (!GetCPInfo(codePage, &info) || info.MaxCharSize != 1) return nullptr;
  if (!table) {
    table = static_cast<std::int16_t*>(HeapAlloc(GetProcessHeap(), 0, kUnitCount * sizeof *table));
    if (!table) return nullptr;
  }
  char16_t unitOfByte[256] = {};
  for (int byte = 1; byte < 256; ++byte) {
    const char in = static_cast<char>(byte);
    wchar_t unit = 0;
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &in, 1, &unit, 1) == 1) {
      unitOfByte[byte] = static_cast<char16_t>(unit);
    }
  }
  BuildByteTable(unitOfByte, table);
  built = true;
  builtFor = codePage;
  return table;
}

HGLOBAL NewBlock(const void* bytes, SIZE_T size, SIZE_T slack) {
  if (size > static_cast<SIZE_T>(-1) - slack || size + slack == 0) return nullptr;
  // Not zero-filled first: that would write every byte twice.
  HGLOBAL block = gSlotAlloc(GMEM_MOVEABLE, size + slack);
  if (!block) return nullptr;
  auto* dest = static_cast<char*>(GlobalLock(block));
  if (!dest) {
    GlobalFree(block);
    return nullptr;
  }
  if (size) std::memcpy(dest, bytes, size);
  std::memset(dest + size, 0, slack);  // the terminator
  GlobalUnlock(block);
  return block;
}

void FreeBlock(HGLOBAL block, bool wipe) {
  if (!block) return;
  if (wipe) {
    if (void* bytes = GlobalLock(block)) {
      SecureZeroMemory(bytes, GlobalSize(block));
      GlobalUnlock(block);
    }
  }
  GlobalFree(block);
}

HGLOBAL CopyBlock(HANDLE block, SIZE_T size) {
  const void* bytes = block ? GlobalLock(block) : nullptr;
  if (!bytes) return nullptr;
  HGLOBAL copy = NewBlock(bytes, size, 0);
  GlobalUnlock(block);
  return copy;
}

HGLOBAL CopyClipboardData(UINT format) {
  HANDLE data = GetClipboardData(format);
  return data ? CopyBlock(data, GlobalSize(data)) : nullptr;
}

void ClipboardHolderName(char* out, int size) {
  if (!out || size <= 0) return;
  out[0] = '\0';
  DWORD processId = 0;
  HWND holder = GetOpenClipboardWindow();
  if (!holder || !GetWindowThreadProcessId(holder, &processId)) return;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return;
  DWORD length = static_cast<DWORD>(size);
  if (!QueryFullProcessImageNameA(process, 0, out, &length)) out[0] = '\0';
  CloseHandle(process);
}

}  // namespace pinnafex
