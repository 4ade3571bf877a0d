// The kept file's reader. Any input read as a file must not crash it; a sound file built from
// the input's text must be read back exactly, and once truncated, bit-flipped, given an
// oversized length or another version, never accepted. (The cipher is left out: the record
// stands in the cipher text's place.)
#include <cstdint>
#include <cstring>
#include <vector>

#include "keep/kept_file.h"

using namespace pinnafex;

namespace {

constexpr std::uint8_t kKey[kMacKeySize] = {7, 1, 4, 9};
constexpr std::uint8_t kIv[kKeptIvSize] = {};
constexpr std::size_t kWrappedKey = 8;

bool Accepted(std::uint8_t* file, std::size_t size, KeptText& text) {
  KeptParts parts;
  return SplitKeptFile(file, size, parts) && KeptMacMatches(file, size, kKey) &&
         ReadKeptRecord(parts.cipher, parts.cipherSize, text);
}

std::uint32_t Word(const std::uint8_t* at) {
  std::uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> input(data, data + size);
  KeptText text;
  if (Accepted(input.data(), input.size(), text) &&
      text.text + text.textBytes > input.data() + input.size()) {
    __builtin_trap();
  }
  KeptParts parts;  // the record alone, as a decrypted cipher text would give it
  if (ReadKeptRecord(input.data(), input.size(), text) &&
      text.textBytes + kKeptRecordHeader != size) {
    __builtin_trap();
  }
  if (size < 9) return 0;

  // A sound file: the text after the first nine bytes, terminated.
  const std::uint32_t damage = data[0], where = Word(data + 1), value = Word(data + 5);
  std::vector<std::uint8_t> body(data + 9, data + size);
  body.push_back(0);
  if (damage & 4) body.push_back(0);
  const KeptText kept{(damage & 4) != 0 && body.size() % 2 == 0, 1049, body.size(), body.data(),
                      body.size()};
  const std::size_t fileSize = KeptFileSize(kWrappedKey, KeptCipherSize(body.size()));
  std::vector<std::uint8_t> file(fileSize);
  WriteKeptFile(file.data(), 3, kIv, kWrappedKey, kept, parts);
  SealKeptFile(file.data(), file.size(), kKey);
  if (!SplitKeptFile(file.data(), file.size(), parts) ||
      !KeptMacMatches(file.data(), file.size(), kKey) || parts.slot != 3) {
    __builtin_trap();
  }
  if (ReadKeptRecord(parts.cipher, kKeptRecordHeader + body.size(), text) &&
      (text.textBytes != body.size() || std::memcmp(text.text, body.data(), body.size()) != 0 ||
       text.locale != 1049)) {
    __builtin_trap();
  }

  switch (damage % 4) {
    case 0:  // truncated
      file.resize(where % file.size());
      break;
    case 1:  // one bit flipped
      file[where / 8 % file.size()] ^= static_cast<std::uint8_t>(1u << (where % 8));
      break;
    case 2: {  // a length beyond what the file holds
      const std::size_t at = where & 1 ? 12 : 16;
      const std::uint32_t old = Word(file.data() + at);
      const std::uint32_t bigger = value > old ? value : old + 1 + (value & 0xFFFF);
      std::memcpy(file.data() + at, &bigger, sizeof bigger);
      break;
    }
    default: {  // another version
      const std::uint32_t version = value == kKeptVersion ? value + 1 : value;
      std::memcpy(file.data() + 4, &version, sizeof version);
    }
  }
  KeptParts damaged;
  if (SplitKeptFile(file.data(), file.size(), damaged) &&
      KeptMacMatches(file.data(), file.size(), kKey)) {
    __builtin_trap();
  }
  return 0;
}
