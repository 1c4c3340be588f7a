// CRC-32 as zip stores it beside every entry (reflected polynomial 0xEDB88320).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarn {

// The zip / ISO 3309 check value: initial 0xFFFFFFFF, final complement; empty input gives 0.
// Uses carry-less multiplication where the processor has it, else the portable path.
std::uint32_t crc32(const std::uint8_t* bytes, std::size_t length);

// The same value from the table path alone, whatever the processor offers.
std::uint32_t crc32Portable(const std::uint8_t* bytes, std::size_t length);

} // namespace tarn
