#include "keep/kept_seal.h"

#include <wincrypt.h>

#include <cstdint>
#include <cstring>

#include "base/bar_ids.h"
#include "keep/kept_file.h"
#include "keep/kept_folder.h"
#include "slots/clip_formats.h"

namespace pinnafex {

namespace {

// The program's own part of the system's protection: another program of the same user
// that calls CryptUnprotectData without it gets nothing.
constexpr char kEntropy[] = "Pinnafex kept slots 1";

// What the system's data protection answers for a key it will never give back: another
// account's or machine's (the key state), or a damaged one. Any other failure may pass.
constexpr DWORD kDamagedKeyErrors[] = {static_cast<DWORD>(NTE_BAD_KEY_STATE),
                                       static_cast<DWORD>(NTE_BAD_DATA), ERROR_INVALID_DATA};

Restore UnprotectFailure(DWORD error) {
  for (DWORD damaged : kDamagedKeyErrors) {
    if (error == damaged) return Restore::kDamaged;
  }
  return Restore::kBusy;
}

// A save's key and the initial vector: fresh random bytes for every file.
struct Keys {
  std::uint8_t bytes[kKeptKeysSize];
  const std::uint8_t (&mac() const)[kMacKeySize] {
    return *reinterpret_cast<const std::uint8_t(*)[kMacKeySize]>(bytes + kKeptCipherKeySize);
  }
  ~Keys() { SecureZeroMemory(bytes, sizeof bytes); }
};

// The provider of AES-256, and a key imported into it; released on every path.
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

}  // namespace

DWORD SealKeptSlot(int slot, const SlotShare& text) {
  wchar_t folder[MAX_PATH];
  wchar_t temp[MAX_PATH];
  if (!IsSlotIndex(slot) || !KeptFolder(folder) || !KeptPath(slot, kTempSuffix, temp)) {
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
  if (error) DeleteFileW(temp);
  return error;
}

DWORD SaveKeptSlot(int slot, const SlotShare& text) {
  const DWORD error = SealKeptSlot(slot, text);
  return error ? error : PlaceKeptSlot(slot);
}

Restore RestoreKeptSlot(int slot, const wchar_t* suffix, SlotShare& text) {
  wchar_t path[MAX_PATH];
  if (!IsSlotIndex(slot) || !KeptPath(slot, suffix, path)) return Restore::kMissing;
  HANDLE handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Restore::kMissing
                                                                          : Restore::kBusy;
  }
  LARGE_INTEGER fileSize{};
  const bool sized = GetFileSizeEx(handle, &fileSize) != 0;
  // No slot's file is that large: its layout is wrong.
  const bool fits =
      static_cast<ULONGLONG>(fileSize.QuadPart) < (SIZE_T{1} << (sizeof(SIZE_T) * 8 - 2));
  FileBuffer file(sized && fits ? static_cast<SIZE_T>(fileSize.QuadPart) : 0);
  bool read = file.bytes != nullptr;
  bool shorter = false;  // the file ended before its size: cut while it was read
  for (SIZE_T done = 0; read && done < file.size;) {
    DWORD got = 0;
    const SIZE_T left = file.size - done;
    read = ReadFile(handle, file.bytes + done,
                    static_cast<DWORD>(left < (1 << 24) ? left : 1 << 24), &got, nullptr) != 0;
    shorter = read && !got;
    read = read && got;
    done += got;
  }
  CloseHandle(handle);
  if (sized && !fits) return Restore::kDamaged;
  if (!sized || (!read && !shorter && fileSize.QuadPart)) return Restore::kBusy;
  KeptParts parts;
  const KeptCheck check = SplitKeptFile(file.bytes, file.size, parts);
  if (check == KeptCheck::kNewer) return Restore::kNewer;
  if (check != KeptCheck::kSound || parts.slot != static_cast<std::uint32_t>(slot)) {
    return Restore::kDamaged;
  }
  DATA_BLOB wrapped{static_cast<DWORD>(parts.wrappedKeySize), const_cast<BYTE*>(parts.wrappedKey)};
  DATA_BLOB entropy = EntropyBlob();
  DATA_BLOB plain{};
  if (!CryptUnprotectData(&wrapped, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &plain)) {
    return UnprotectFailure(GetLastError());
  }
  Keys keys;
  const bool keyed = plain.cbData == sizeof keys.bytes;
  if (keyed) std::memcpy(keys.bytes, plain.pbData, sizeof keys.bytes);
  SecureZeroMemory(plain.pbData, plain.cbData);
  LocalFree(plain.pbData);
  if (!keyed || parts.cipherSize > MAXDWORD || !KeptMacMatches(file.bytes, file.size, keys.mac())) {
    return Restore::kDamaged;
  }
  Cipher cipher;
  DWORD length = static_cast<DWORD>(parts.cipherSize);
  if (!cipher.Open(keys, parts.iv)) return Restore::kBusy;
  KeptText kept;
  if (!CryptDecrypt(cipher.key, 0, TRUE, 0, parts.cipher, &length) ||
      !ReadKeptRecord(parts.cipher, length, kept)) {
    return Restore::kDamaged;
  }
  text = SlotShare{};
  text.block = NewBlock(kept.text, kept.textBytes, 0);
  if (!text.block) return Restore::kBusy;
  text.bytes = kept.textBytes;
  text.wide = kept.wide;
  text.locale = kept.locale;
  text.captionSize = static_cast<SIZE_T>(kept.captionSize);
  return Restore::kDone;
}

}  // namespace pinnafex
