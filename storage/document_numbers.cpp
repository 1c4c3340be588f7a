// Conversions of JSON numbers read from session and preset files into the model's floats and integers.
#include "storage/document_numbers.h"

#include <cmath>
#include <limits>

namespace tarn {

std::optional<float> finiteFloat(double number) {
    // Halfway between the largest float and 2^128: below it the conversion rounds to a
    // finite float, at or above it to infinity.
    constexpr double overflow = 0x1.ffffffp127;
    if (!(std::fabs(number) < overflow)) return std::nullopt;  // also false for NaN
    return static_cast<float>(number);
}

std::optional<float> finiteFloatMember(const json::Value* member) {
    if (!member || member->kind != json::Kind::Number) return std::nullopt;
    return finiteFloat(member->number);
}

std::uint32_t seedFromNumber(double number) {
    if (std::isnan(number)) return 0;
    // 2^63 is exact as a double; the largest int64 is not.
    constexpr double limit = 9223372036854775808.0;
    std::int64_t whole;
    if (number >= limit)
        whole = std::numeric_limits<std::int64_t>::max();
    else if (number < -limit)
        whole = std::numeric_limits<std::int64_t>::min();
    else
        whole = static_cast<std::int64_t>(number);  // in range: truncates toward zero
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole) & 0xFFFFFFFFu);
}

}  // namespace tarn
