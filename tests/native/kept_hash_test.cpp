// The kept files' MAC against RFC 4231 (a shorter key is padded with zeros, as HMAC does) and
// against Python's hmac for an input of many blocks.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "keep/kept_hash.h"

TEST(KeptHash, MacMatchesKnownValues) {
  std::string many;
  for (int i = 0; i < 1000; ++i) many += static_cast<char>(i * 7);
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // key, data, MAC
      {std::string(20, '\x0b'), "Hi There",
       "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
      {"Jefe", "what do ya want for nothing?",
       "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
      {many.substr(0, 32), many,
       "1c95440e9030d816361806b44f59f277db3c5dfbe1e31f03bbb5178afc66cf49"},
  };
  for (const auto& [keyBytes, data, expected] : cases) {
    std::uint8_t key[pinnafex::kMacKeySize] = {}, mac[pinnafex::kHashSize];
    keyBytes.copy(reinterpret_cast<char*>(key), sizeof key);
    pinnafex::HmacSha256(key, reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), mac);
    char hex[2 * sizeof mac + 1];
    for (std::size_t i = 0; i < sizeof mac; ++i) std::snprintf(hex + 2 * i, 3, "%02x", mac[i]);
    EXPECT_EQ(hex, expected) << data.size() << " bytes";
  }
}
