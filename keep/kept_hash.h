// SHA-256 and HMAC-SHA256 (FIPS 180-4, RFC 2104): the check that a kept file is whole and ours.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pinnafex {

constexpr std::size_t kHashSize = 32;
constexpr std::size_t kMacKeySize = 32;

// HMAC-SHA256 of `size` bytes under a 32-byte key.
void HmacSha256(const std::uint8_t (&key)[kMacKeySize], const std::uint8_t* data, std::size_t size,
                std::uint8_t (&mac)[kHashSize]);

}  // namespace pinnafex
