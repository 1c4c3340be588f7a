// Appending binary fields to a byte vector, for the MIDI and WAV writers.
#pragma once

#include <cstdint>
#include <vector>

namespace tarn {

// The low n bytes of value, most significant first (nothing for n <= 0; zeros above 32 bits).
void putBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int n);

// The low n bytes of value, least significant first (nothing for n <= 0; zeros above 32 bits).
void putLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int n);

// A MIDI variable-length quantity: 7-bit groups, most significant first, bit 7 set on every
// byte but the last (0 is 0x00, 128 is 0x81 0x00).
void putVarLen(std::vector<std::uint8_t>& bytes, std::uint32_t value);

// Four characters, such as "MThd" or "RIFF".
void putTag(std::vector<std::uint8_t>& bytes, const char tag[4]);

}  // namespace tarn
