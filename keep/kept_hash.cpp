#include "keep/kept_hash.h"

#include <cstring>

namespace pinnafex {

namespace {

constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
constexpr std::uint32_t kInitialState[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                            0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
constexpr std::size_t kBlock = 64;

constexpr std::uint32_t Rotate(std::uint32_t x, int n) {
  return (x >> n) | (x << (32 - n));
}

}  // namespace

Sha256::Sha256() {
  std::memcpy(state, kInitialState, sizeof state);
}

void Sha256::Compress(const std::uint8_t* block) {
  std::uint32_t w[64];
  for (std::size_t i = 0; i < 16; ++i) {
    const std::uint8_t* b = block + 4 * i;
    w[i] = std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
  }
  for (int i = 16; i < 64; ++i) {
    const std::uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
    const std::uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4], f = state[5],
                g = state[6], h = state[7];
  for (int i = 0; i < 64; ++i) {
    const std::uint32_t t1 = h + (Rotate(e, 6) ^ Rotate(e, 11) ^ Rotate(e, 25)) +
                             ((e & f) ^ (~e & g)) + kRoundConstants[i] + w[i];
    const std::uint32_t t2 =
        (Rotate(a, 2) ^ Rotate(a, 13) ^ Rotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  const std::uint32_t v[8] = {a, b, c, d, e, f, g, h};
  for (int i = 0; i < 8; ++i) state[i] += v[i];
}

void Sha256::Add(const std::uint8_t* data, std::size_t size) {
  total += size;
  while (size) {
    if (pendingSize == 0 && size >= kBlock) {  // whole blocks straight from the input
      Compress(data);
      data += kBlock;
      size -= kBlock;
      continue;
    }
    const std::size_t take = size < kBlock - pendingSize ? size : kBlock - pendingSize;
    std::memcpy(pending + pendingSize, data, take);
    pendingSize += take;
    data += take;
    size -= take;
    if (pendingSize == kBlock) {
      Compress(pending);
      pendingSize = 0;
    }
  }
}

void Sha256::Finish(std::uint8_t (&out)[kHashSize]) {
  const std::uint64_t bits = total * 8;
  std::uint8_t tail[kBlock + 8] = {0x80};
  const std::size_t padding = (pendingSize < 56 ? 56 : 120) - pendingSize;
  for (int i = 0; i < 8; ++i) tail[padding + i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  Add(tail, padding + 8);
  for (int i = 0; i < 32; ++i)
    out[i] = static_cast<std::uint8_t>(state[i / 4] >> (24 - 8 * (i % 4)));
}

Hmac::Hmac(const std::uint8_t (&key)[kMacKeySize]) {
  std::uint8_t pad[kBlock];
  for (std::size_t i = 0; i < kBlock; ++i) pad[i] = (i < kMacKeySize ? key[i] : 0) ^ 0x36;
  inner.Add(pad, kBlock);
  for (std::size_t i = 0; i < kBlock; ++i) pad[i] = (i < kMacKeySize ? key[i] : 0) ^ 0x5c;
  outer.Add(pad, kBlock);
}

void Hmac::Finish(std::uint8_t (&mac)[kHashSize]) {
  std::uint8_t innerHash[kHashSize];
  inner.Finish(innerHash);
  outer.Add(innerHash, kHashSize);
  outer.Finish(mac);
}

void HmacSha256(const std::uint8_t (&key)[kMacKeySize], const std::uint8_t* data, std::size_t size,
                std::uint8_t (&mac)[kHashSize]) {
  Hmac hmac(key);
  hmac.Add(data, size);
  hmac.Finish(mac);
}

}  // namespace pinnafex
