// The layout of a kept slot's file, and its checks. All numbers little-endian.
//   0  "PXKS"
//   4  u32 version (2; files of version 1 are still read)
//   8  u32 slot index (the file of another slot never fills this one)
//  12  u32 size K of the wrapped key: the system's protection of the file's own random key
//  16  u64 size R of the record below
//  24  8 bytes: the nonce prefix, random for each file
//  32  u32 size C of a chunk of the record
//  36  u32 0
//  40  K bytes: the wrapped key (AES-256)
//  40+K  the record in chunks of C bytes (the last one shorter), each sealed as an AES-GCM message
//        of its own: its cipher text, then its 16-byte tag. The nonce is the prefix and the
//        chunk's u32 index; the authenticated data is the header (40 bytes), the u32 index and a
//        byte that is 1 for the last chunk, so chunks cannot be reordered, dropped or cut off.
// The record: u32 form (0: 8-bit, 1: UTF-16), u32 locale, u64 caption size, u64 size T of the
// text block, then its T bytes as the slot held them, terminator included.
// Version 1 differs from offset 16 on: u64 size of the cipher text, a 16-byte IV, the wrapped
// key (AES-256 key, then a 32-byte MAC key), the record in AES-CBC with padding, then
// HMAC-SHA256 of everything before it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pinnafex {

constexpr std::uint32_t kKeptVersion = 2;
constexpr std::uint32_t kKeptVersionCbc = 1;
constexpr std::size_t kKeptHeaderSize = 40;
constexpr std::size_t kKeptMaxWrappedKey = 4096;
constexpr std::size_t kKeptRecordHeader = 24;
constexpr std::size_t kKeptKeySize = 32;  // AES-256
constexpr std::size_t kKeptNoncePrefixSize = 8;
constexpr std::size_t kKeptNonceSize = 12;
constexpr std::size_t kKeptTagSize = 16;
constexpr std::size_t kKeptAadSize = kKeptHeaderSize + 5;
constexpr std::size_t kKeptChunk = std::size_t{1} << 20;  // what this version writes
constexpr std::size_t kKeptMaxChunk = std::size_t{1} << 26;
// Version 1: the IV, the cipher's block, the MAC and its key.
constexpr std::size_t kKeptIvSize = 16;
constexpr std::size_t kKeptCipherBlock = 16;
constexpr std::size_t kKeptMacSize = 32;
constexpr std::size_t kKeptCbcKeysSize = kKeptKeySize + kKeptMacSize;

struct KeptParts {
  std::uint32_t version = 0;
  std::uint32_t slot = 0;
  const std::uint8_t* header = nullptr;  // the file's first kKeptHeaderSize bytes
  const std::uint8_t* iv = nullptr;      // version 1's IV, or the nonce prefix
  const std::uint8_t* wrappedKey = nullptr;
  std::size_t wrappedKeySize = 0;
  std::uint8_t* sealed = nullptr;  // the chunks with their tags, or version 1's cipher text
  std::size_t sealedSize = 0;
  std::size_t recordSize = 0;  // version 2
  std::size_t chunkSize = 0;   // version 2
};

// A slot's text as a file keeps it.
struct KeptText {
  bool wide = false;
  std::uint32_t locale = 0;
  std::uint64_t captionSize = 0;
  const std::uint8_t* text = nullptr;
  std::size_t textBytes = 0;
};

// The chunks a record of `recordSize` bytes takes, and the size of the whole file holding it;
// 0 when it would not fit.
std::size_t KeptChunks(std::size_t recordSize, std::size_t chunkSize);
std::size_t KeptFileSize(std::size_t wrappedKeySize, std::size_t recordSize,
                         std::size_t chunkSize = kKeptChunk);

// The header of a file (kKeptHeaderSize bytes), and the header of its record
// (kKeptRecordHeader bytes), which the text follows.
void WriteKeptHeader(std::uint8_t* out, std::uint32_t slot,
                     const std::uint8_t (&noncePrefix)[kKeptNoncePrefixSize],
                     std::size_t wrappedKeySize, std::size_t recordSize);
void WriteKeptRecordHeader(std::uint8_t* out, const KeptText& text);
// A chunk's nonce and authenticated data.
void KeptChunkNonce(const std::uint8_t* noncePrefix, std::uint32_t index,
                    std::uint8_t (&out)[kKeptNonceSize]);
void KeptChunkAad(const std::uint8_t* header, std::uint32_t index, bool last,
                  std::uint8_t (&out)[kKeptAadSize]);

// The parts of a file of a version this one reads, whose sizes add up. Newer: the file names a
// later version, whose layout this one cannot know.
enum class KeptCheck { kSound, kDamaged, kNewer };
KeptCheck SplitKeptFile(std::uint8_t* file, std::size_t size, KeptParts& parts);
// The text of a record of `size` bytes from its header and its text's bytes (size -
// kKeptRecordHeader of them); false unless it is whole and well formed.
bool ReadKeptRecord(const std::uint8_t* header, const std::uint8_t* text, std::size_t size,
                    KeptText& out);

// "Slot 3 could not be restored", or "Slots 3, 7 could not be restored", for the slot indexes
// set in `damaged` (bit 0: slot 1), then "Slot 4 was kept by a newer Pinnafex" for `newer`.
void FormatRestoreNotice(std::uint32_t damaged, std::uint32_t newer, char* out,
                         std::size_t outSize);

}  // namespace pinnafex
