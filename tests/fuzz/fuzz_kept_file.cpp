// The kept file's reader. Any input read as a file or a record must not crash it; a sound file
// made from the input's text must read back exactly, and once truncated, bit-flipped, given an
// oversized length or another version, never be accepted. (The record stands in the cipher
// text's place: the cipher is the system's.)
#include <cstdint>
#include <cstring>
#include <vector>

#include "keep/kept_file.h"

using namespace pinnafex;

static constexpr std::uint8_t kKey[kMacKeySize] = {7, 1, 4, 9};
static constexpr std::uint8_t kIv[kKeptIvSize] = {};

static bool Accepted(std::vector<std::uint8_t>& file, KeptParts& parts) {
  return SplitKeptFile(file.data(), file.size(), parts) &&
         KeptMacMatches(file.data(), file.size(), kKey);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> input(data, data + size);
  KeptParts parts;
  KeptText text;
  if (SplitKeptFile(input.data(), size, parts)) KeptMacMatches(input.data(), size, kKey);
  if (ReadKeptRecord(input.data(), size, text) &&
      text.text + text.textBytes != input.data() + size) {
    __builtin_trap();
  }
  if (size < 9) return 0;
  std::uint32_t where, value;
  std::memcpy(&where, data + 1, 4);
  std::memcpy(&value, data + 5, 4);
  std::vector<std::uint8_t> body(data + 9, data + size);
  body.resize(body.size() + 2);  // the terminator of either form
  const KeptText kept{body.size() % 2 == 0, 1049, body.size(), body.data(), body.size()};
  std::vector<std::uint8_t> file(KeptFileSize(8, KeptCipherSize(body.size())));
  WriteKeptHeader(file.data(), 3, kIv, 8, KeptCipherSize(body.size()));
  WriteKeptRecordHeader(file.data() + kKeptHeaderSize + 8, kept);
  std::memcpy(file.data() + kKeptHeaderSize + 8 + kKeptRecordHeader, body.data(), body.size());
  std::uint8_t mac[kHashSize];
  HmacSha256(kKey, file.data(), file.size() - kHashSize, mac);
  std::memcpy(file.data() + file.size() - kHashSize, mac, kHashSize);
  if (!Accepted(file, parts) || parts.slot != 3 ||
      !ReadKeptRecord(parts.cipher, kKeptRecordHeader + body.size(), text) ||
      text.textBytes != body.size() || std::memcmp(text.text, body.data(), body.size()) != 0) {
    __builtin_trap();
  }
  switch (data[0] % 4) {
    case 0:  // truncated
      file.resize(where % file.size());
      break;
    case 1:  // one bit flipped
      file[where / 8 % file.size()] ^= static_cast<std::uint8_t>(1u << (where % 8));
      break;
    case 2:  // the key's or the cipher text's length far beyond the file
      file[(where & 1 ? 12 : 16) + 3] |= static_cast<std::uint8_t>(0x80 | value);
      break;
    default:  // another version
      value += value == kKeptVersion;
      std::memcpy(file.data() + 4, &value, 4);
  }
  if (Accepted(file, parts)) __builtin_trap();
  return 0;
}
