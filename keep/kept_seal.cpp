#include "keep/kept_seal.h"

#include <bcrypt.h>
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
// What CNG answers for a chunk whose tag does not match: its content is damaged.
constexpr NTSTATUS kTagMismatch = static_cast<NTSTATUS>(0xC000A002L);

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

Restore UnprotectFailure(DWORD error) {
  for (DWORD damaged : kDamagedKeyErrors) {
    if (error == damaged) return Restore::kDamaged;
  }
  return Restore::kBusy;
}

// Key bytes, wiped when they go.
template <std::size_t kSize>
struct Secret {
  std::uint8_t bytes[kSize];
  ~Secret() { SecureZeroMemory(bytes, sizeof bytes); }
};

// An AES-256 key of the system's CNG in a chaining mode; released on every path.
struct AesKey {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_KEY_HANDLE key = nullptr;
  NTSTATUS status;
  AesKey(const wchar_t* mode, const std::uint8_t* secret) {
    status = BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_AES_ALGORITHM, nullptr, 0);
    if (Succeeded(status)) {
      status = BCryptSetProperty(algorithm, BCRYPT_CHAINING_MODE,
                                 reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(mode)),
                                 static_cast<ULONG>((lstrlenW(mode) + 1) * sizeof(wchar_t)), 0);
    }
    if (Succeeded(status)) {
      status = BCryptGenerateSymmetricKey(algorithm, &key, nullptr, 0, const_cast<PUCHAR>(secret),
                                          kKeptKeySize, 0);
    }
    if (!Succeeded(status)) key = nullptr;
  }
  ~AesKey() {
    if (key) BCryptDestroyKey(key);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

// One chunk of the record sealed (`out` gets its cipher text, then its tag) or opened (`in` is
// the cipher text, its tag after it) as an AES-GCM message of its own.
NTSTATUS SealChunk(const AesKey& aes, const std::uint8_t* header, std::uint32_t index, bool last,
                   const std::uint8_t* in, ULONG size, std::uint8_t* out, bool seal) {
  std::uint8_t nonce[kKeptNonceSize];
  std::uint8_t aad[kKeptAadSize];
  KeptChunkNonce(header + 24, index, nonce);
  KeptChunkAad(header, index, last, aad);
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
  BCRYPT_INIT_AUTH_MODE_INFO(info);
  info.pbNonce = nonce;
  info.cbNonce = sizeof nonce;
  info.pbAuthData = aad;
  info.cbAuthData = sizeof aad;
  info.pbTag = const_cast<PUCHAR>(seal ? out + size : in + size);
  info.cbTag = kKeptTagSize;
  ULONG done = 0;
  auto* input = const_cast<PUCHAR>(in);
  return seal ? BCryptEncrypt(aes.key, input, size, &info, nullptr, 0, out, size, &done, 0)
              : BCryptDecrypt(aes.key, input, size, &info, nullptr, 0, out, size, &done, 0);
}

// Pages of memory, wiped before they go back.
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

// A file as it is written: the first error on the way is kept.
struct OutFile {
  HANDLE file;
  DWORD error = ERROR_SUCCESS;

  explicit OutFile(const wchar_t* path)
      : file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr)) {
    if (file == INVALID_HANDLE_VALUE) error = GetLastError();
  }
  void Write(const std::uint8_t* bytes, DWORD size) {
    DWORD written = 0;
    if (error) return;
    if (!WriteFile(file, bytes, size, &written, nullptr)) {
      error = GetLastError();
    } else if (written != size) {
      error = ERROR_DISK_FULL;
    }
  }
  // Flushed and closed.
  DWORD Close() {
    if (!error && !FlushFileBuffers(file)) error = GetLastError();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return error;
  }
};

// The text of a sound record handed over as the slot's.
void TakeText(const KeptText& kept, HGLOBAL block, SlotShare& text) {
  text = SlotShare{};
  text.block = block;
  text.bytes = kept.textBytes;
  text.wide = kept.wide;
  text.locale = kept.locale;
  text.captionSize = static_cast<SIZE_T>(kept.captionSize);
}

// Version 1: HMAC-SHA256 over the file, then AES-256-CBC with padding, both the system's.
Restore OpenCbc(std::uint8_t* file, std::size_t size, const KeptParts& parts,
                const std::uint8_t* keys, SlotShare& text) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  std::uint8_t mac[kKeptMacSize];
  const std::size_t signedSize = size - kKeptMacSize;
  bool hashed =
      Succeeded(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr,
                                            BCRYPT_ALG_HANDLE_HMAC_FLAG)) &&
      Succeeded(BCryptCreateHash(algorithm, &hash, nullptr, 0,
                                 const_cast<PUCHAR>(keys + kKeptKeySize), kKeptMacSize, 0));
  for (std::size_t done = 0; hashed && done < signedSize;) {
    const ULONG n =
        static_cast<ULONG>(signedSize - done < (1u << 24) ? signedSize - done : 1u << 24);
    hashed = Succeeded(BCryptHashData(hash, file + done, n, 0));
    done += n;
  }
  hashed = hashed && Succeeded(BCryptFinishHash(hash, mac, sizeof mac, 0));
  if (hash) BCryptDestroyHash(hash);
  if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
  if (!hashed) return Restore::kBusy;
  std::uint8_t differ = 0;  // compared in constant time
  for (std::size_t i = 0; i < kKeptMacSize; ++i) differ |= mac[i] ^ file[signedSize + i];
  if (differ) return Restore::kDamaged;
  AesKey aes(BCRYPT_CHAIN_MODE_CBC, keys);
  if (!aes.key) return Restore::kBusy;
  std::uint8_t iv[kKeptIvSize];
  std::memcpy(iv, parts.iv, sizeof iv);
  ULONG length = 0;
  KeptText kept;
  if (parts.sealedSize > MAXDWORD ||
      !Succeeded(BCryptDecrypt(aes.key, parts.sealed, static_cast<ULONG>(parts.sealedSize), nullptr,
                               iv, sizeof iv, parts.sealed, static_cast<ULONG>(parts.sealedSize),
                               &length, BCRYPT_BLOCK_PADDING)) ||
      !ReadKeptRecord(parts.sealed, parts.sealed + kKeptRecordHeader, length, kept)) {
    return Restore::kDamaged;
  }
  HGLOBAL block = NewBlock(kept.text, kept.textBytes, 0);
  if (!block) return Restore::kBusy;
  TakeText(kept, block, text);
  return Restore::kDone;
}

// Version 2: each chunk opened straight into the slot's new block; the first one, which holds
// the record's header, through a buffer of its own.
Restore OpenGcm(const KeptParts& parts, const std::uint8_t* key, SlotShare& text) {
  AesKey aes(BCRYPT_CHAIN_MODE_GCM, key);
  const std::size_t chunks = KeptChunks(parts.recordSize, parts.chunkSize);
  const std::size_t firstSize =
      parts.recordSize < parts.chunkSize ? parts.recordSize : parts.chunkSize;
  const std::size_t textBytes = parts.recordSize - kKeptRecordHeader;
  if (firstSize < kKeptRecordHeader) return Restore::kDamaged;
  if (!aes.key || firstSize > MAXDWORD) return Restore::kBusy;
  FileBuffer first(firstSize);
  HGLOBAL block = gSlotAlloc(GMEM_MOVEABLE, textBytes);
  auto* dest = block ? static_cast<std::uint8_t*>(GlobalLock(block)) : nullptr;
  Restore result = first.bytes && dest ? Restore::kDone : Restore::kBusy;
  for (std::size_t i = 0; i < chunks && result == Restore::kDone; ++i) {
    const std::size_t at = i * parts.chunkSize;
    const std::size_t n =
        parts.recordSize - at < parts.chunkSize ? parts.recordSize - at : parts.chunkSize;
    const std::uint8_t* in = parts.sealed + i * (parts.chunkSize + kKeptTagSize);
    std::uint8_t* out = i ? dest + at - kKeptRecordHeader : first.bytes;
    const NTSTATUS status = SealChunk(aes, parts.header, static_cast<std::uint32_t>(i),
                                      i + 1 == chunks, in, static_cast<ULONG>(n), out, false);
    if (!Succeeded(status)) result = status == kTagMismatch ? Restore::kDamaged : Restore::kBusy;
  }
  KeptText kept;
  if (result == Restore::kDone) {
    std::memcpy(dest, first.bytes + kKeptRecordHeader, firstSize - kKeptRecordHeader);
    if (!ReadKeptRecord(first.bytes, dest, parts.recordSize, kept)) result = Restore::kDamaged;
  }
  if (dest) GlobalUnlock(block);
  if (result != Restore::kDone) {
    if (dest) SecureZeroMemory(dest, textBytes);
    if (block) GlobalFree(block);
    return result;
  }
  TakeText(kept, block, text);
  return Restore::kDone;
}

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
  const SIZE_T recordSize = kKeptRecordHeader + text.bytes;
  if (text.bytes > MAXDWORD - kKeptRecordHeader || !KeptFileSize(kKeptMaxWrappedKey, recordSize)) {
    return ERROR_FILE_TOO_LARGE;
  }
  Secret<kKeptKeySize> key;
  std::uint8_t prefix[kKeptNoncePrefixSize];
  DATA_BLOB plainKey{sizeof key.bytes, key.bytes};
  DATA_BLOB entropy = EntropyBlob();
  DATA_BLOB wrapped{};
  if (!Succeeded(
          BCryptGenRandom(nullptr, key.bytes, sizeof key.bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG)) ||
      !Succeeded(
          BCryptGenRandom(nullptr, prefix, sizeof prefix, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    return ERROR_ENCRYPTION_FAILED;
  }
  if (!CryptProtectData(&plainKey, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                        &wrapped)) {
    return GetLastError();
  }
  // Each chunk sealed straight from the slot's text into a buffer that goes to the file with its
  // tag: no copy of the whole text is made. The first chunk begins with the record's header.
  AesKey aes(BCRYPT_CHAIN_MODE_GCM, key.bytes);
  FileBuffer chunk(kKeptChunk + kKeptTagSize);
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(text.block));
  DWORD error = ERROR_SUCCESS;
  if (!chunk.bytes || !bytes) {
    error = ERROR_NOT_ENOUGH_MEMORY;
  } else if (!aes.key || wrapped.cbData > kKeptMaxWrappedKey) {
    error = ERROR_ENCRYPTION_FAILED;
  } else {
    std::uint8_t header[kKeptHeaderSize];
    WriteKeptHeader(header, static_cast<std::uint32_t>(slot), prefix, wrapped.cbData, recordSize);
    OutFile out(temp);
    out.Write(header, sizeof header);
    out.Write(wrapped.pbData, wrapped.cbData);
    const std::size_t chunks = KeptChunks(recordSize, kKeptChunk);
    for (std::size_t i = 0; i < chunks && !out.error; ++i) {
      const SIZE_T at = i * kKeptChunk;
      const SIZE_T n = recordSize - at < kKeptChunk ? recordSize - at : kKeptChunk;
      const std::uint8_t* in = i ? bytes + at - kKeptRecordHeader : chunk.bytes;
      if (!i) {  // sealed in place
        WriteKeptRecordHeader(chunk.bytes,
                              {text.wide, text.locale, text.captionSize, bytes, text.bytes});
        std::memcpy(chunk.bytes + kKeptRecordHeader, bytes, n - kKeptRecordHeader);
      }
      if (!Succeeded(SealChunk(aes, header, static_cast<std::uint32_t>(i), i + 1 == chunks, in,
                               static_cast<ULONG>(n), chunk.bytes, true))) {
        out.error = ERROR_ENCRYPTION_FAILED;
      }
      out.Write(chunk.bytes, static_cast<DWORD>(n + kKeptTagSize));
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
  Secret<kKeptCbcKeysSize> keys;
  const std::size_t keySize = parts.version == kKeptVersion ? kKeptKeySize : kKeptCbcKeysSize;
  const bool keyed = plain.cbData == keySize;
  if (keyed) std::memcpy(keys.bytes, plain.pbData, keySize);
  SecureZeroMemory(plain.pbData, plain.cbData);
  LocalFree(plain.pbData);
  if (!keyed) return Restore::kDamaged;
  return parts.version == kKeptVersion ? OpenGcm(parts, keys.bytes, text)
                                       : OpenCbc(file.bytes, file.size, parts, keys.bytes, text);
}

}  // namespace pinnafex
