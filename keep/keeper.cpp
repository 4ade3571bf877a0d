#include "keep/keeper.h"

#include <shlobj.h>
#include <wincrypt.h>

#include <cstdint>
#include <cstring>

#include "base/bar_ids.h"
#include "clock/ticker.h"
#include "keep/kept_file.h"
#include "slots/clip_formats.h"
#include "slots/slot_view.h"

namespace pinnafex {

const wchar_t* gKeptFolder = nullptr;

namespace {

// What the thread tells the bar (the message's wParam).
enum KeeperNews : WPARAM { kArrived, kNotRestored, kNotSaved };

// The program's own part of the system's protection: another program of the same user
// that calls CryptUnprotectData without it gets nothing.
constexpr char kEntropy[] = "Pinnafex kept slots 1";
constexpr wchar_t kFolderName[] = L"\\Pinnafex";
constexpr int kBadNames = 100;  // slot-03.kept.bad, slot-03.kept.2.bad ... before giving up

// A save's key and the initial vector: fresh random bytes for every file.
struct Keys {
  std::uint8_t bytes[kKeptKeysSize];
  const std::uint8_t (&mac() const)[kMacKeySize] {
    return *reinterpret_cast<const std::uint8_t(*)[kMacKeySize]>(bytes + kKeptCipherKeySize);
  }
  ~Keys() { SecureZeroMemory(bytes, sizeof bytes); }
};

// The provider of AES-256 (XP SP3 on), and a key imported into it; released on every path.
struct Cipher {
  HCRYPTPROV provider = 0;
  HCRYPTKEY key = 0;
  bool Acquire() {
    if (!provider &&
        !CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
      provider = 0;
    }
    return provider != 0;
  }
  bool Open(const Keys& keys, const std::uint8_t* iv) {
    if (!Acquire()) return false;
    struct {
      BLOBHEADER header;
      DWORD size;
      BYTE key[kKeptCipherKeySize];
    } blob = {{PLAINTEXTKEYBLOB, CUR_BLOB_VERSION, 0, CALG_AES_256}, kKeptCipherKeySize, {}};
    std::memcpy(blob.key, keys.bytes, kKeptCipherKeySize);
    const bool imported =
        CryptImportKey(provider, reinterpret_cast<BYTE*>(&blob), sizeof blob, 0, 0, &key);
    SecureZeroMemory(&blob, sizeof blob);
    if (!imported) key = 0;
    return imported && CryptSetKeyParam(key, KP_IV, iv, 0);
  }
  ~Cipher() {
    if (key) CryptDestroyKey(key);
    if (provider) CryptReleaseContext(provider, 0);
  }
};

// Pages of memory for a whole file, wiped before they go back.
struct FileBuffer {
  std::uint8_t* bytes = nullptr;
  SIZE_T size = 0;
  explicit FileBuffer(SIZE_T n)
      : bytes(static_cast<std::uint8_t*>(VirtualAlloc(nullptr, n, MEM_COMMIT, PAGE_READWRITE))),
        size(bytes ? n : 0) {}
  ~FileBuffer() {
    if (!bytes) return;
    SecureZeroMemory(bytes, size);
    VirtualFree(bytes, 0, MEM_RELEASE);
  }
};

DATA_BLOB EntropyBlob() {
  return {sizeof kEntropy - 1, reinterpret_cast<BYTE*>(const_cast<char*>(kEntropy))};
}

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

// The full path of a slot's file, "slot-03.kept" with `suffix`; false when it does not fit.
bool KeptPath(int slot, const wchar_t* suffix, wchar_t (&out)[MAX_PATH]) {
  wchar_t name[32];
  wsprintfW(name, L"\\slot-%02d.kept%s", slot + 1, suffix);
  return KeptFolder(out) && lstrlenW(out) + lstrlenW(name) < MAX_PATH && lstrcatW(out, name);
}

// A kept file as it is written: each piece goes to the file and into its MAC, which closes it.
struct SealedFile {
  HANDLE file;
  Hmac mac;
  DWORD error = ERROR_SUCCESS;

  SealedFile(const wchar_t* path, const std::uint8_t (&macKey)[kMacKeySize])
      : file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr)),
        mac(macKey) {
    if (file == INVALID_HANDLE_VALUE) error = GetLastError();
  }
  void Write(const std::uint8_t* bytes, DWORD size, bool sealed = true) {
    if (sealed) mac.Add(bytes, size);
    DWORD written = 0;
    if (error) return;
    if (!WriteFile(file, bytes, size, &written, nullptr)) {
      error = GetLastError();
    } else if (written != size) {
      error = ERROR_DISK_FULL;
    }
  }
  // The MAC written, the file flushed and closed; the first error on the way, if any.
  DWORD Close() {
    std::uint8_t tag[kHashSize];
    mac.Finish(tag);
    Write(tag, sizeof tag, false);
    if (!error && !FlushFileBuffers(file)) error = GetLastError();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return error;
  }
};

void DeleteKept(const wchar_t* suffix) {
  wchar_t path[MAX_PATH];
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (KeptPath(slot, suffix, path)) DeleteFileW(path);
  }
}

// A file that cannot be restored is kept aside under a new name, never deleted.
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

// The thread's state. Jobs and arrivals are shared under the lock; the rest belongs to one
// side, as marked.
struct Job {
  bool queued = false;
  SlotShare text;  // no block: the slot's file is removed
};
CRITICAL_SECTION gLock;
bool gLockReady = false;
HANDLE gWake = nullptr;
HANDLE gShown = nullptr;  // set once the bar is on screen, or when the keeper is to end
bool gShownSet = false;   // bar
HANDLE gThread = nullptr;
HWND gDialog = nullptr;
Job gJobs[kSlotCount];
SlotShare gArrived[kSlotCount];  // restored, for the bar to take
bool gForget = false;            // every file to be deleted
bool gStopping = false;
bool gRestoreFirst = false;
bool gPushed[kSlotCount];   // bar: pushed since start, so a restored text comes too late
bool gKeeping = false;      // bar
bool gForgotten = false;    // bar: turned off since start, so restored texts need saving anew
bool gFailureTold = false;  // thread: the latest save failed and the bar was told

struct Locked {
  Locked() { EnterCriticalSection(&gLock); }
  ~Locked() { LeaveCriticalSection(&gLock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

void Queue(int slot, const SlotShare& text) {
  HGLOBAL replaced = nullptr;
  {
    Locked lock;
    if (gJobs[slot].queued) replaced = gJobs[slot].text.block;  // a later Push wins
    gJobs[slot] = {true, text};
  }
  ReleaseShare(replaced);
  SetEvent(gWake);
}

void RestoreAll() {
  std::uint32_t bad = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    {
      Locked lock;
      // Pushed meanwhile, or the bar is ending: the file stays for the next start. (Turned off
      // meanwhile, the text still comes back: only its file goes.)
      if (gJobs[slot].queued || gStopping) continue;
    }
    SlotShare text;
    const Restore result = RestoreKeptSlot(slot, text);
    if (result == Restore::kBad) {
      SetAside(slot);
      bad |= 1u << slot;
    } else if (result == Restore::kDone) {
      {
        Locked lock;
        gArrived[slot] = text;
      }
      PostMessageA(gDialog, kKeeperMessage, kArrived, slot);
    }
  }
  if (bad) PostMessageA(gDialog, kKeeperMessage, kNotRestored, static_cast<LPARAM>(bad));
}

void RunJob(int slot, const SlotShare& text) {
  wchar_t path[MAX_PATH];
  if (!text.block) {
    if (KeptPath(slot, L"", path)) DeleteFileW(path);
    return;
  }
  const DWORD error = SaveKeptSlot(slot, text);
  ReleaseShare(text.block);
  if (error && !gFailureTold) PostMessageA(gDialog, kKeeperMessage, kNotSaved, error);
  gFailureTold = error != ERROR_SUCCESS;
}

DWORD WINAPI KeeperMain(void*) {
  WaitForSingleObject(gShown, INFINITE);  // nothing competes with the bar's start
  DeleteKept(L".tmp");  // a save cut short: the slot's file is still the one before
  if (gRestoreFirst) {
    RestoreAll();
  } else {
    DeleteKept(L"");
  }
  for (;;) {
    int slot = -1;
    Job job;
    bool forget = false;
    bool stop = false;
    {
      Locked lock;
      forget = gForget;
      gForget = false;
      for (int i = 0; i < kSlotCount && !forget && slot < 0; ++i) {
        if (gJobs[i].queued) slot = i;
      }
      if (slot >= 0) {
        job = gJobs[slot];
        gJobs[slot] = Job{};
      }
      stop = gStopping;
    }
    if (forget) {
      DeleteKept(L"");
    } else if (slot >= 0) {
      RunJob(slot, job.text);
    } else if (stop) {
      return 0;
    } else {
      WaitForSingleObject(gWake, INFINITE);
    }
  }
}

// The system's text for an error, without its line end and full stop.
void ErrorText(DWORD error, char* out, DWORD size) {
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           error, 0, out, size, nullptr);
  while (n &&
         (out[n - 1] == '\n' || out[n - 1] == '\r' || out[n - 1] == '.' || out[n - 1] == ' ')) {
    --n;
  }
  out[n] = '\0';
  if (!n) wsprintfA(out, "error %lu", error);
}

}  // namespace

DWORD SaveKeptSlot(int slot, const SlotShare& text) {
  wchar_t folder[MAX_PATH];
  wchar_t path[MAX_PATH];
  wchar_t temp[MAX_PATH];
  if (!IsSlotIndex(slot) || !KeptFolder(folder) || !KeptPath(slot, L"", path) ||
      !KeptPath(slot, L".tmp", temp)) {
    return ERROR_BAD_PATHNAME;
  }
  if (!CreateDirectoryW(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return GetLastError();
  }
  const std::size_t cipherSize = KeptCipherSize(text.bytes);
  if (!cipherSize || cipherSize > MAXDWORD) return ERROR_FILE_TOO_LARGE;
  Keys keys;
  std::uint8_t iv[kKeptIvSize];
  Cipher cipher;
  const bool drawn = cipher.Acquire() &&
                     CryptGenRandom(cipher.provider, sizeof keys.bytes, keys.bytes) &&
                     CryptGenRandom(cipher.provider, sizeof iv, iv);
  DATA_BLOB plainKeys{sizeof keys.bytes, keys.bytes};
  DATA_BLOB entropy = EntropyBlob();
  DATA_BLOB wrapped{};
  if (!drawn || !CryptProtectData(&plainKeys, nullptr, &entropy, nullptr, nullptr,
                                  CRYPTPROTECT_UI_FORBIDDEN, &wrapped)) {
    return GetLastError();
  }
  // The record and the text as one stream, encrypted a chunk at a time straight into the
  // file: no copy of the whole text is made, and a chunk is still in the cache for the MAC.
  constexpr SIZE_T kChunk = 1 << 20;  // whole cipher blocks
  FileBuffer chunk(kChunk + kKeptCipherBlock);
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(text.block));
  DWORD error = ERROR_SUCCESS;
  if (!chunk.bytes || !bytes) {
    error = ERROR_NOT_ENOUGH_MEMORY;
  } else if (!cipher.Open(keys, iv)) {
    error = GetLastError();
  } else {
    std::uint8_t header[kKeptHeaderSize];
    std::uint8_t record[kKeptRecordHeader];
    WriteKeptHeader(header, static_cast<std::uint32_t>(slot), iv, wrapped.cbData, cipherSize);
    WriteKeptRecordHeader(record, {text.wide, text.locale, text.captionSize, bytes, text.bytes});
    SealedFile out(temp, keys.mac());
    out.Write(header, sizeof header);
    out.Write(wrapped.pbData, wrapped.cbData);
    const SIZE_T total = kKeptRecordHeader + text.bytes;
    for (SIZE_T done = 0; done < total && !out.error;) {
      const SIZE_T n = total - done < kChunk ? total - done : kChunk;
      const SIZE_T head = done < kKeptRecordHeader ? kKeptRecordHeader - done : 0;
      const SIZE_T fromRecord = head < n ? head : n;
      if (fromRecord) std::memcpy(chunk.bytes, record + done, fromRecord);
      std::memcpy(chunk.bytes + fromRecord, bytes + done + fromRecord - kKeptRecordHeader,
                  n - fromRecord);
      done += n;
      DWORD length = static_cast<DWORD>(n);
      if (!CryptEncrypt(cipher.key, 0, done == total, 0, chunk.bytes, &length,
                        static_cast<DWORD>(chunk.size))) {
        out.error = GetLastError();
      }
      out.Write(chunk.bytes, length);
    }
    error = out.Close();
  }
  if (bytes) GlobalUnlock(text.block);
  LocalFree(wrapped.pbData);
  if (!error && !MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error) DeleteFileW(temp);
  return error;
}

Restore RestoreKeptSlot(int slot, SlotShare& text) {
  wchar_t path[MAX_PATH];
  if (!IsSlotIndex(slot) || !KeptPath(slot, L"", path)) return Restore::kMissing;
  HANDLE handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Restore::kMissing
                                                                          : Restore::kBad;
  }
  LARGE_INTEGER fileSize{};
  const bool sized =
      GetFileSizeEx(handle, &fileSize) &&
      static_cast<ULONGLONG>(fileSize.QuadPart) < (SIZE_T{1} << (sizeof(SIZE_T) * 8 - 2));
  FileBuffer file(sized ? static_cast<SIZE_T>(fileSize.QuadPart) : 0);
  bool read = sized && file.bytes;
  for (SIZE_T done = 0; read && done < file.size;) {
    DWORD got = 0;
    const SIZE_T left = file.size - done;
    read = ReadFile(handle, file.bytes + done,
                    static_cast<DWORD>(left < (1 << 24) ? left : 1 << 24), &got, nullptr) &&
           got;
    done += got;
  }
  CloseHandle(handle);
  if (sized && !file.bytes && file.size == 0 && fileSize.QuadPart) return Restore::kMissing;
  KeptParts parts;
  if (!read || !SplitKeptFile(file.bytes, file.size, parts) ||
      parts.slot != static_cast<std::uint32_t>(slot)) {
    return Restore::kBad;
  }
  DATA_BLOB wrapped{static_cast<DWORD>(parts.wrappedKeySize), const_cast<BYTE*>(parts.wrappedKey)};
  DATA_BLOB entropy = EntropyBlob();
  DATA_BLOB plain{};
  if (!CryptUnprotectData(&wrapped, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &plain)) {
    return Restore::kBad;
  }
  Keys keys;
  const bool keyed = plain.cbData == sizeof keys.bytes;
  if (keyed) std::memcpy(keys.bytes, plain.pbData, sizeof keys.bytes);
  SecureZeroMemory(plain.pbData, plain.cbData);
  LocalFree(plain.pbData);
  Cipher cipher;
  DWORD length = static_cast<DWORD>(parts.cipherSize);
  KeptText kept;
  if (!keyed || parts.cipherSize > MAXDWORD || !KeptMacMatches(file.bytes, file.size, keys.mac()) ||
      !cipher.Open(keys, parts.iv) ||
      !CryptDecrypt(cipher.key, 0, TRUE, 0, parts.cipher, &length) ||
      !ReadKeptRecord(parts.cipher, length, kept)) {
    return Restore::kBad;
  }
  text = SlotShare{};
  text.block = NewBlock(kept.text, kept.textBytes, 0);
  if (!text.block) return Restore::kMissing;
  text.bytes = kept.textBytes;
  text.wide = kept.wide;
  text.locale = kept.locale;
  text.captionSize = static_cast<SIZE_T>(kept.captionSize);
  return Restore::kDone;
}

void StartKeeper(HWND dialog, bool keep) {
  if (!gLockReady) InitializeCriticalSection(&gLock);
  gLockReady = true;
  FinishKeeper();
  gDialog = dialog;
  gKeeping = gRestoreFirst = keep;
  gForget = gStopping = gForgotten = gFailureTold = false;
  for (bool& pushed : gPushed) pushed = false;
  if (!gWake) gWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!gShown) gShown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ResetEvent(gShown);
  gShownSet = false;
  gThread = CreateThread(nullptr, 0, KeeperMain, nullptr, 0, nullptr);
  // Saves and restores give way to the bar on a busy machine.
  if (gThread) SetThreadPriority(gThread, THREAD_PRIORITY_BELOW_NORMAL);
}

void BarShown() {
  if (gShownSet || !gThread) return;
  gShownSet = true;
  SetEvent(gShown);
}

void SetKeeping(bool keep) {
  if (!gThread || keep == gKeeping) return;
  gKeeping = keep;
  if (keep) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      // Empty slots are left alone: a restore may still be bringing their texts.
      const SlotShare text = ShareSlot(slot);
      if (text.block) Queue(slot, text);
    }
    return;
  }
  gForgotten = true;
  HGLOBAL dropped[kSlotCount] = {};
  {
    Locked lock;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      dropped[slot] = gJobs[slot].text.block;
      gJobs[slot] = Job{};
    }
    gForget = true;
  }
  for (HGLOBAL block : dropped) ReleaseShare(block);
  SetEvent(gWake);
}

void SlotChanged(int slot) {
  if (!IsSlotIndex(slot)) return;
  gPushed[slot] = true;
  if (gThread && gKeeping) Queue(slot, ShareSlot(slot));
}

void OnKeeperMessage(HWND dialog, WPARAM what, LPARAM value) {
  char notice[kTickerBufferSize];
  if (what == kArrived && IsSlotIndex(static_cast<int>(value))) {
    const int slot = static_cast<int>(value);
    SlotShare text;
    {
      Locked lock;
      text = gArrived[slot];
      gArrived[slot] = SlotShare{};
    }
    if (!text.block) return;
    if (gPushed[slot]) {
      ReleaseShare(text.block);
      return;
    }
    AdoptSlot(slot, text);
    RefreshSlot(dialog, slot);
    if (gKeeping && gForgotten) Queue(slot, ShareSlot(slot));  // its file went meanwhile
  } else if (what == kNotRestored) {
    FormatRestoreNotice(static_cast<std::uint32_t>(value), notice, sizeof notice);
    ShowTickerNotice(notice, 0);
  } else if (what == kNotSaved) {
    MessageBeep(MB_ICONWARNING);
    char reason[160];
    ErrorText(static_cast<DWORD>(value), reason, sizeof reason);
    wsprintfA(notice, "Slots cannot be saved: %s", reason);
    ShowTickerNotice(notice, 0);
  }
}

void FinishKeeper() {
  if (!gThread) return;
  {
    Locked lock;
    gStopping = true;
  }
  BarShown();
  SetEvent(gWake);
  WaitForSingleObject(gThread, INFINITE);
  CloseHandle(gThread);
  gThread = nullptr;
}

}  // namespace pinnafex
