// Conversions of JSON numbers read from session and preset files into the model's floats and integers.
#pragma once

#include <cstdint>
#include <optional>

#include "documents/json/value.h"

namespace tarn {

// The number as a finite float, or none: NaN, infinities and magnitudes that round past the
// largest float count as not a number, so they never reach the voice or get written back.
std::optional<float> finiteFloat(double number);

// The member's number as a finite float; none for an absent member, another kind, or a
// number that is not finite as a float.
std::optional<float> finiteFloatMember(const json::Value* member);

// Truncated toward zero to 64 bits (saturating; NaN gives 0), then the low 32 bits kept:
// the generator's seed is unsigned 32-bit, and -1 reads as 4294967295.
std::uint32_t seedFromNumber(double number);

}  // namespace tarn
