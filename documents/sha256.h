// SHA-256 (FIPS 180-4): package assets are named by the digest of their bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarn {

// The digest as 64 lowercase hexadecimal characters, most significant nibble of each byte first.
std::string sha256Hex(const std::uint8_t* bytes, std::size_t length);

// The block compression function: folds one 64-byte block into the eight-word state.
void sha256Compress(std::array<std::uint32_t, 8>& state, const std::uint8_t* block);

} // namespace tarn
