// SHA-256 block compression on the processor's SHA extensions, where it has them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarn {

// Folds `blocks` 64-byte blocks into the state with the x86 SHA instructions; false, with
// the state untouched, on a processor (or build) without them.
bool sha256CompressHardware(std::array<std::uint32_t, 8>& state, const std::uint8_t* data, std::size_t blocks);

} // namespace tarn
