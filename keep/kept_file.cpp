#include "keep/kept_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace pinnafex {

namespace {

constexpr std::uint8_t kMagic[4] = {'P', 'X', 'K', 'S'};
constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();

void Put(std::uint8_t* at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t Get(const std::uint8_t* at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

}  // namespace

std::size_t KeptChunks(std::size_t recordSize, std::size_t chunkSize) {
  if (!chunkSize || recordSize > kMax - chunkSize) return 0;
  return (recordSize + chunkSize - 1) / chunkSize;
}

std::size_t KeptFileSize(std::size_t wrappedKeySize, std::size_t recordSize,
                         std::size_t chunkSize) {
  const std::size_t chunks = KeptChunks(recordSize, chunkSize);
  const std::size_t fixed = kKeptHeaderSize + wrappedKeySize;
  if (!chunks || wrappedKeySize > kKeptMaxWrappedKey || chunks > kMax / kKeptTagSize ||
      recordSize > kMax - fixed - chunks * kKeptTagSize) {
    return 0;
  }
  return fixed + recordSize + chunks * kKeptTagSize;
}

void WriteKeptHeader(std::uint8_t* out, std::uint32_t slot,
                     const std::uint8_t (&noncePrefix)[kKeptNoncePrefixSize],
                     std::size_t wrappedKeySize, std::size_t recordSize) {
  std::memcpy(out, kMagic, sizeof kMagic);
  Put(out + 4, kKeptVersion, 4);
  Put(out + 8, slot, 4);
  Put(out + 12, wrappedKeySize, 4);
  Put(out + 16, recordSize, 8);
  std::memcpy(out + 24, noncePrefix, kKeptNoncePrefixSize);
  Put(out + 32, kKeptChunk, 4);
  Put(out + 36, 0, 4);
}

void WriteKeptRecordHeader(std::uint8_t* out, const KeptText& text) {
  Put(out, text.wide ? 1 : 0, 4);
  Put(out + 4, text.locale, 4);
  Put(out + 8, text.captionSize, 8);
  Put(out + 16, text.textBytes, 8);
}

void KeptChunkNonce(const std::uint8_t* noncePrefix, std::uint32_t index,
                    std::uint8_t (&out)[kKeptNonceSize]) {
  std::memcpy(out, noncePrefix, kKeptNoncePrefixSize);
  Put(out + kKeptNoncePrefixSize, index, 4);
}

void KeptChunkAad(const std::uint8_t* header, std::uint32_t index, bool last,
                  std::uint8_t (&out)[kKeptAadSize]) {
  std::memcpy(out, header, kKeptHeaderSize);
  Put(out + kKeptHeaderSize, index, 4);
  out[kKeptHeaderSize + 4] = last ? 1 : 0;
}

KeptCheck SplitKeptFile(std::uint8_t* file, std::size_t size, KeptParts& parts) {
  if (!file || size < 8 || std::memcmp(file, kMagic, sizeof kMagic) != 0) {
    return KeptCheck::kDamaged;
  }
  const std::uint64_t version = Get(file + 4, 4);
  if (version > kKeptVersion) return KeptCheck::kNewer;
  if (size < kKeptHeaderSize || version < kKeptVersionCbc) return KeptCheck::kDamaged;
  const std::uint64_t keySize = Get(file + 12, 4);
  const std::uint64_t sixteen = Get(file + 16, 8);  // version 2: the record's size; 1: the cipher's
  if (keySize == 0 || keySize > kKeptMaxWrappedKey || sixteen == 0 || sixteen > size) {
    return KeptCheck::kDamaged;
  }
  const auto wrapped = static_cast<std::size_t>(keySize);
  const auto length = static_cast<std::size_t>(sixteen);
  std::size_t chunk = 0;
  if (version == kKeptVersion) {
    chunk = static_cast<std::size_t>(Get(file + 32, 4));
    if (chunk < 2 * kKeptRecordHeader || chunk > kKeptMaxChunk || Get(file + 36, 4) != 0 ||
        length <= kKeptRecordHeader || KeptFileSize(wrapped, length, chunk) != size) {
      return KeptCheck::kDamaged;
    }
  } else if (length % kKeptCipherBlock != 0 ||
             size - length != kKeptHeaderSize + wrapped + kKeptMacSize) {
    return KeptCheck::kDamaged;
  }
  parts.version = static_cast<std::uint32_t>(version);
  parts.slot = static_cast<std::uint32_t>(Get(file + 8, 4));
  parts.header = file;
  parts.iv = file + 24;
  parts.wrappedKey = file + kKeptHeaderSize;
  parts.wrappedKeySize = wrapped;
  parts.sealed = file + kKeptHeaderSize + wrapped;
  parts.sealedSize = version == kKeptVersion ? size - kKeptHeaderSize - wrapped : length;
  parts.recordSize = version == kKeptVersion ? length : 0;
  parts.chunkSize = chunk;
  return KeptCheck::kSound;
}

bool ReadKeptRecord(const std::uint8_t* header, const std::uint8_t* text, std::size_t size,
                    KeptText& out) {
  if (!header || !text || size < kKeptRecordHeader) return false;
  const std::uint64_t form = Get(header, 4);
  const std::uint64_t textBytes = Get(header + 16, 8);
  if (form > 1 || textBytes != size - kKeptRecordHeader) return false;
  // Whole units, ending in a zero terminator.
  const std::size_t unit = form ? 2 : 1;
  if (textBytes < unit || textBytes % unit != 0 || text[textBytes - 1] != 0 ||
      text[textBytes - unit] != 0) {
    return false;
  }
  out.wide = form == 1;
  out.locale = static_cast<std::uint32_t>(Get(header + 4, 4));
  out.captionSize = Get(header + 8, 8);
  out.text = text;
  out.textBytes = static_cast<std::size_t>(textBytes);
  return true;
}

namespace {

// "Slot 3" or "Slots 3, 7" and how many, for the slot indexes set in `slots`.
int SlotList(std::uint32_t slots, char (&out)[128]) {
  char numbers[100] = "";
  std::size_t used = 0;
  int count = 0;
  for (int slot = 0; slot < 32; ++slot) {
    if (!(slots >> slot & 1)) continue;
    const int n =
        std::snprintf(numbers + used, sizeof numbers - used, "%s%d", count ? ", " : "", slot + 1);
    if (n > 0) used = std::min(sizeof numbers - 1, used + static_cast<std::size_t>(n));
    ++count;
  }
  std::snprintf(out, sizeof out, "Slot%s %s", count > 1 ? "s" : "", numbers);
  return count;
}

}  // namespace

void FormatRestoreNotice(std::uint32_t damaged, std::uint32_t newer, char* out,
                         std::size_t outSize) {
  if (!out || outSize == 0) return;
  char bad[128];
  char later[128];
  const int badCount = SlotList(damaged, bad);
  const int laterCount = SlotList(newer, later);
  const char* kept = laterCount > 1 ? "were" : "was";
  if (badCount && laterCount) {
    std::snprintf(out, outSize, "%s could not be restored. %s %s kept by a newer Pinnafex", bad,
                  later, kept);
  } else if (laterCount) {
    std::snprintf(out, outSize, "%s %s kept by a newer Pinnafex", later, kept);
  } else {
    std::snprintf(out, outSize, "%s could not be restored", bad);
  }
}

}  // namespace pinnafex
