// The kept files' MAC against published vectors (RFC 4231; a key shorter than 32 bytes is
// padded with zeros, as HMAC itself does) and a long input, and the restore notice.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "keep/kept_file.h"

namespace pinnafex {
namespace {

std::string Hex(const std::uint8_t* bytes, std::size_t size) {
  std::string out;
  char pair[3];
  for (std::size_t i = 0; i < size; ++i) out += (std::snprintf(pair, 3, "%02x", bytes[i]), pair);
  return out;
}

TEST(KeptFile, MacMatchesKnownValues) {
  std::string longInput;
  for (int i = 0; i < 1000; ++i) longInput += static_cast<char>(i * 7);
  std::uint8_t counting[kMacKeySize];
  for (std::size_t i = 0; i < kMacKeySize; ++i) counting[i] = static_cast<std::uint8_t>(i);
  const struct {
    std::string key, data, mac;
  } cases[] = {
      {std::string(20, '\x0b'), "Hi There",
       "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
      {"Jefe", "what do ya want for nothing?",
       "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
      {std::string(20, '\xaa'), std::string(50, '\xdd'),
       "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
      {std::string(reinterpret_cast<char*>(counting), kMacKeySize), longInput,
       "e2ffe6023ed3c7f11788b879a9539671806f1ae69c3387a39f551b7baac174f1"},
  };
  for (const auto& c : cases) {
    std::uint8_t key[kMacKeySize] = {};
    c.key.copy(reinterpret_cast<char*>(key), kMacKeySize);
    std::uint8_t mac[kHashSize];
    HmacSha256(key, reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size(), mac);
    EXPECT_EQ(Hex(mac, kHashSize), c.mac) << c.data.size() << " bytes";
  }
}

TEST(KeptFile, RestoreNoticeNamesEverySlot) {
  const struct {
    std::uint32_t slots;
    const char* notice;
  } cases[] = {
      {1u << 2, "Slot 3 could not be restored"},
      {1u << 2 | 1u << 6 | 1u << 19, "Slots 3, 7, 20 could not be restored"},
  };
  for (const auto& c : cases) {
    char notice[128];
    FormatRestoreNotice(c.slots, notice, sizeof notice);
    EXPECT_STREQ(notice, c.notice);
  }
}

}  // namespace
}  // namespace pinnafex
