// The layout of a kept slot's file, and its checks. All numbers little-endian.
//   0  "PXKS"
//   4  u32 version
//   8  u32 slot index (the file of another slot never fills this one)
//  12  u32 size K of the wrapped key: the system's protection of the file's own random keys
//  16  u64 size C of the cipher text, a whole number of cipher blocks
//  24  16 bytes: the cipher's initial vector
//  40  K bytes: the wrapped key
//  40+K  C bytes: the record below, encrypted
//  40+K+C  32 bytes: HMAC-SHA256 of everything before it, under the file's MAC key
// The record: u32 form (0: 8-bit, 1: UTF-16), u32 locale, u64 caption size, u64 size T of the
// text block, then its T bytes as the slot held them, terminator included.
#pragma once
#include <cstddef>
#include <cstdint>

#include "keep/kept_hash.h"

namespace pinnafex {

constexpr std::uint32_t kKeptVersion = 1;
constexpr std::size_t kKeptHeaderSize = 40;
constexpr std::size_t kKeptIvSize = 16;
constexpr std::size_t kKeptCipherBlock = 16;
constexpr std::size_t kKeptMaxWrappedKey = 4096;
constexpr std::size_t kKeptRecordHeader = 24;
// The file's random keys before wrapping: the cipher's (AES-256), then the MAC's.
constexpr std::size_t kKeptCipherKeySize = 32;
constexpr std::size_t kKeptKeysSize = kKeptCipherKeySize + kMacKeySize;

struct KeptParts {
  std::uint32_t slot = 0;
  const std::uint8_t* iv = nullptr;
  const std::uint8_t* wrappedKey = nullptr;
  std::size_t wrappedKeySize = 0;
  std::uint8_t* cipher = nullptr;  // decrypted in place
  std::size_t cipherSize = 0;
};

// A slot's text as a file keeps it.
struct KeptText {
  bool wide = false;
  std::uint32_t locale = 0;
  std::uint64_t captionSize = 0;
  const std::uint8_t* text = nullptr;
  std::size_t textBytes = 0;
};

// Size of the cipher text for a record holding `textBytes` (padding always adds a block), and
// of the whole file; 0 when either would not fit.
std::size_t KeptCipherSize(std::size_t textBytes);
std::size_t KeptFileSize(std::size_t wrappedKeySize, std::size_t cipherSize);

// The header of a file (kKeptHeaderSize bytes), and the header of its record
// (kKeptRecordHeader bytes), which the text follows.
void WriteKeptHeader(std::uint8_t* out, std::uint32_t slot, const std::uint8_t (&iv)[kKeptIvSize],
                     std::size_t wrappedKeySize, std::size_t cipherSize);
void WriteKeptRecordHeader(std::uint8_t* out, const KeptText& text);

// The parts of a file of this program's version whose sizes add up. Newer: the file names a
// later version, whose layout this one cannot know.
enum class KeptCheck { kSound, kDamaged, kNewer };
KeptCheck SplitKeptFile(std::uint8_t* file, std::size_t size, KeptParts& parts);
// Whether the file's MAC is the one its key gives (compared in constant time).
bool KeptMacMatches(const std::uint8_t* file, std::size_t size,
                    const std::uint8_t (&macKey)[kMacKeySize]);
// The text of a decrypted record of `size` bytes; false unless it is whole and well formed.
bool ReadKeptRecord(const std::uint8_t* record, std::size_t size, KeptText& text);

// "Slot 3 could not be restored", or "Slots 3, 7 could not be restored", for the slot indexes
// set in `damaged` (bit 0: slot 1), then "Slot 4 was kept by a newer Pinnafex" for `newer`.
void FormatRestoreNotice(std::uint32_t damaged, std::uint32_t newer, char* out,
                         std::size_t outSize);

}  // namespace pinnafex
