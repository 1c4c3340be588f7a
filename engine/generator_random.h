// The generator's only source of randomness: a 32-bit xorshift state seeded by a hash of the seed.
#pragma once

#include <cstdint>

namespace tarn {

// One xorshift32 step; the new state is also the value drawn.
inline std::uint32_t nextRandom(std::uint32_t& state) {
    std::uint32_t x = state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    state = x;
    return x;
}

// The first state for a seed. Seed 0 hashes as 0x9E3779B9, so seeds 0 and 0x9E3779B9 give the
// same notes; the hash can never leave the state at 0, where xorshift would stay forever.
inline std::uint32_t seedRandom(std::uint32_t seed) {
    std::uint32_t x = seed != 0 ? seed : 0x9E3779B9u;
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    if (x == 0) x = 0x9E3779B9u;
    nextRandom(x);
    return x;
}

// A choice among n: one step, then state % n. With n <= 0 there is nothing to choose: no step
// is taken and 0 comes back (callers check for an empty choice before using the index).
inline int randomChoice(std::uint32_t& state, int n) {
    if (n <= 0) return 0;
    return static_cast<int>(nextRandom(state) % static_cast<std::uint32_t>(n));
}

// A unit draw in [0, 1): one step, the low 24 bits scaled by 2^-24 (exact in a float).
inline float unitDraw(std::uint32_t& state) {
    return static_cast<float>(nextRandom(state) & 0xFFFFFFu) * 5.9604645e-8f;
}

}  // namespace tarn
