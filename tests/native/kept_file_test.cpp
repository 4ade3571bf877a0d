// The kept files' MAC against published vectors (RFC 4231; a key shorter than 32 bytes is
// padded with zeros, as HMAC itself does) and a long input many blocks long.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "keep/kept_hash.h"

namespace pinnafex {
namespace {

TEST(KeptFile, MacMatchesKnownValues) {
  std::string counting, longInput;
  for (int i = 0; i < 1000; ++i) longInput += static_cast<char>(i * 7);
  for (int i = 0; i < 32; ++i) counting += static_cast<char>(i);
  const struct {
    std::string key, data, mac;
  } cases[] = {
      {std::string(20, '\x0b'), "Hi There",
       "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
      {"Jefe", "what do ya want for nothing?",
       "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
      {counting, longInput, "e2ffe6023ed3c7f11788b879a9539671806f1ae69c3387a39f551b7baac174f1"},
  };
  for (const auto& c : cases) {
    std::uint8_t key[kMacKeySize] = {};
    c.key.copy(reinterpret_cast<char*>(key), kMacKeySize);
    std::uint8_t mac[kHashSize];
    HmacSha256(key, reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size(), mac);
    char hex[2 * kHashSize + 1];
    for (std::size_t i = 0; i < kHashSize; ++i) std::snprintf(hex + 2 * i, 3, "%02x", mac[i]);
    EXPECT_EQ(hex, c.mac) << c.data.size() << " bytes";
  }
}

}  // namespace
}  // namespace pinnafex
