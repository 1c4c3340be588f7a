// CRC-32 folding with carry-less multiplication (PCLMULQDQ), where the processor has it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarn {

// The least number of bytes the folding path takes; it takes whole 16-byte blocks only.
inline constexpr std::size_t kCrc32FoldMinimum = 64;

// Runs `length` bytes (a multiple of 16, at least kCrc32FoldMinimum) through the running
// CRC register `state` (not complemented). False, with the state untouched, on a processor
// (or build) without carry-less multiplication.
bool crc32FoldHardware(std::uint32_t& state, const std::uint8_t* data, std::size_t length);

} // namespace tarn
