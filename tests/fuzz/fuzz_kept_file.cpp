// The kept file's reader. Any input read as a file or a record must not crash it; a file of
// either version laid out around the input's text must split and read back exactly, and once
// truncated, lengthened, given an oversized length or an unknown version, never be accepted.
// (The record stands in the sealed part's place: the cipher and its tags are the system's.)
#include <cstdint>
#include <cstring>
#include <vector>

#include "keep/kept_file.h"

using namespace pinnafex;

static constexpr std::uint8_t kPrefix[kKeptNoncePrefixSize] = {5, 4, 3};
static constexpr std::size_t kKey = 8;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> input(data, data + size);
  KeptParts parts;
  KeptText text;
  SplitKeptFile(input.data(), size, parts);
  if (size >= kKeptRecordHeader &&
      ReadKeptRecord(input.data(), input.data() + kKeptRecordHeader, size, text) &&
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
  const std::size_t record = kKeptRecordHeader + body.size();
  // Version 2 as this one writes it, or version 1 with its cipher blocks and MAC.
  const bool cbc = data[0] & 4;
  const std::size_t sealed = cbc ? (record / kKeptCipherBlock + 1) * kKeptCipherBlock : record;
  std::vector<std::uint8_t> file(cbc ? kKeptHeaderSize + kKey + sealed + kKeptMacSize
                                     : KeptFileSize(kKey, record));
  WriteKeptHeader(file.data(), 3, kPrefix, kKey, record);
  if (cbc) {
    const std::uint8_t v1[] = {1, 0, 0, 0, 3, 0, 0, 0, kKey, 0, 0, 0};
    std::memcpy(file.data() + 4, v1, sizeof v1);
    for (int i = 0; i < 8; ++i) file[16 + i] = static_cast<std::uint8_t>(sealed >> (8 * i));
  }
  // The record in the first chunk's place: whole, when it fits one chunk.
  std::uint8_t* at = file.data() + kKeptHeaderSize + kKey;
  WriteKeptRecordHeader(at, kept);
  const std::size_t first =
      cbc || record <= kKeptChunk ? body.size() : kKeptChunk - kKeptRecordHeader;
  std::memcpy(at + kKeptRecordHeader, body.data(), first);
  if (SplitKeptFile(file.data(), file.size(), parts) != KeptCheck::kSound || parts.slot != 3 ||
      parts.version != (cbc ? 1u : 2u) || parts.sealed != at ||
      (!cbc && parts.recordSize != record) ||
      (first == body.size() &&
       (!ReadKeptRecord(at, at + kKeptRecordHeader, record, text) ||
        text.textBytes != body.size() || std::memcmp(text.text, body.data(), body.size()) != 0))) {
    __builtin_trap();
  }
  switch (data[0] % 4) {
    case 0:  // truncated
      file.resize(where % file.size());
      break;
    case 1:  // a byte too many
      file.push_back(static_cast<std::uint8_t>(value));
      break;
    case 2:  // the key's or the record's length far beyond the file
      file[(where & 1 ? 12 : 16) + 3] |= static_cast<std::uint8_t>(0x80 | value);
      break;
    default:  // another version
      if (value == kKeptVersion || value == kKeptVersionCbc) value = kKeptVersion + 1;
      std::memcpy(file.data() + 4, &value, 4);
  }
  if (SplitKeptFile(file.data(), file.size(), parts) == KeptCheck::kSound) __builtin_trap();
  return 0;
}
