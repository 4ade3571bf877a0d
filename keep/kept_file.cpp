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

std::size_t KeptCipherSize(std::size_t textBytes) {
  if (textBytes > kMax - kKeptRecordHeader - kKeptCipherBlock) return 0;
  return ((kKeptRecordHeader + textBytes) / kKeptCipherBlock + 1) * kKeptCipherBlock;
}

std::size_t KeptFileSize(std::size_t wrappedKeySize, std::size_t cipherSize) {
  const std::size_t fixed = kKeptHeaderSize + wrappedKeySize + kHashSize;
  if (wrappedKeySize > kKeptMaxWrappedKey || cipherSize > kMax - fixed) return 0;
  return fixed + cipherSize;
}

void WriteKeptHeader(std::uint8_t* out, std::uint32_t slot, const std::uint8_t (&iv)[kKeptIvSize],
                     std::size_t wrappedKeySize, std::size_t cipherSize) {
  std::memcpy(out, kMagic, sizeof kMagic);
  Put(out + 4, kKeptVersion, 4);
  Put(out + 8, slot, 4);
  Put(out + 12, wrappedKeySize, 4);
  Put(out + 16, cipherSize, 8);
  std::memcpy(out + 24, iv, kKeptIvSize);
}

void WriteKeptRecordHeader(std::uint8_t* out, const KeptText& text) {
  Put(out, text.wide ? 1 : 0, 4);
  Put(out + 4, text.locale, 4);
  Put(out + 8, text.captionSize, 8);
  Put(out + 16, text.textBytes, 8);
}

KeptCheck SplitKeptFile(std::uint8_t* file, std::size_t size, KeptParts& parts) {
  if (!file || size < 8 || std::memcmp(file, kMagic, sizeof kMagic) != 0) {
    return KeptCheck::kDamaged;
  }
  if (Get(file + 4, 4) > kKeptVersion) return KeptCheck::kNewer;
  if (size < kKeptHeaderSize + kHashSize || Get(file + 4, 4) != kKeptVersion) {
    return KeptCheck::kDamaged;
  }
  const std::uint64_t keySize = Get(file + 12, 4);
  const std::uint64_t cipherSize = Get(file + 16, 8);
  if (keySize == 0 || keySize > kKeptMaxWrappedKey || cipherSize == 0 ||
      cipherSize % kKeptCipherBlock != 0 || cipherSize > size ||
      KeptFileSize(static_cast<std::size_t>(keySize), static_cast<std::size_t>(cipherSize)) !=
          size) {
    return KeptCheck::kDamaged;
  }
  parts.slot = static_cast<std::uint32_t>(Get(file + 8, 4));
  parts.iv = file + 24;
  parts.wrappedKey = file + kKeptHeaderSize;
  parts.wrappedKeySize = static_cast<std::size_t>(keySize);
  parts.cipher = file + kKeptHeaderSize + parts.wrappedKeySize;
  parts.cipherSize = static_cast<std::size_t>(cipherSize);
  return KeptCheck::kSound;
}

bool KeptMacMatches(const std::uint8_t* file, std::size_t size,
                    const std::uint8_t (&macKey)[kMacKeySize]) {
  if (size < kHashSize) return false;
  std::uint8_t mac[kHashSize];
  HmacSha256(macKey, file, size - kHashSize, mac);
  std::uint8_t differ = 0;
  for (std::size_t i = 0; i < kHashSize; ++i) differ |= mac[i] ^ file[size - kHashSize + i];
  return differ == 0;
}

bool ReadKeptRecord(const std::uint8_t* record, std::size_t size, KeptText& text) {
  if (!record || size < kKeptRecordHeader) return false;
  const std::uint64_t form = Get(record, 4);
  const std::uint64_t textBytes = Get(record + 16, 8);
  if (form > 1 || textBytes != size - kKeptRecordHeader) return false;
  const std::uint8_t* bytes = record + kKeptRecordHeader;
  // Whole units, ending in a zero terminator.
  const std::size_t unit = form ? 2 : 1;
  if (textBytes < unit || textBytes % unit != 0 || bytes[textBytes - 1] != 0 ||
      bytes[textBytes - unit] != 0) {
    return false;
  }
  text.wide = form == 1;
  text.locale = static_cast<std::uint32_t>(Get(record + 4, 4));
  text.captionSize = Get(record + 8, 8);
  text.text = bytes;
  text.textBytes = static_cast<std::size_t>(textBytes);
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
