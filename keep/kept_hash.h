// SHA-256 and HMAC-SHA256 (FIPS 180-4, RFC 2104): the check that a kept file is whole and ours.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pinnafex {

constexpr std::size_t kHashSize = 32;
constexpr std::size_t kMacKeySize = 32;

// SHA-256 of data given in pieces.
struct Sha256 {
  std::uint32_t state[8];
  std::uint8_t pending[64];
  std::size_t pendingSize = 0;
  std::uint64_t total = 0;

  Sha256();
  void Add(const std::uint8_t* data, std::size_t size);
  void Finish(std::uint8_t (&out)[kHashSize]);
  void Compress(const std::uint8_t* block);
};

// HMAC-SHA256 under a 32-byte key of data given in pieces: a file's as it is written.
struct Hmac {
  explicit Hmac(const std::uint8_t (&key)[kMacKeySize]);
  void Add(const std::uint8_t* data, std::size_t size) { inner.Add(data, size); }
  void Finish(std::uint8_t (&mac)[kHashSize]);
  Sha256 inner, outer;
};

// HMAC-SHA256 of `size` bytes under a 32-byte key.
void HmacSha256(const std::uint8_t (&key)[kMacKeySize], const std::uint8_t* data, std::size_t size,
                std::uint8_t (&mac)[kHashSize]);

}  // namespace pinnafex
