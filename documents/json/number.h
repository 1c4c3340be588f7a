// Number text of the JSON layer: reading, shortest spelling, and the one safe conversion to a 32-bit integer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn::json {

// Reads the longest prefix of `text` that the standard decimal conversion accepts (digits,
// fraction, exponent, and after a minus sign also inf, infinity and nan in any case).
// Returns the number of characters consumed, 0 when nothing was accepted or the value is
// out of the double range.
std::size_t readNumberPrefix(std::string_view text, double& out);

// True when the whole of `text` converts and gives a number the writer may stand for
// `number`: the same double, or, for a number that is exactly a float, the same float.
bool numberTextMatches(std::string_view text, double number);

// The most characters writeShortest writes.
constexpr std::size_t kShortestLength = 32;

// Writes the shortest text that reads back as the same double (plain or exponent form,
// whichever is shorter) at `to` and returns its end; "-0" for negative zero. Callers handle
// infinity and NaN themselves.
char* writeShortest(char* to, double number);

// Shortest text that reads back as the same float; empty for infinity and NaN.
std::string shortestFloatText(float number);

// The conversion every reader uses to turn a JSON number into a 32-bit integer: NaN gives
// 0, everything else is truncated toward zero and saturated to the 32-bit range. A plain
// cast is undefined for the accepted numbers 1e300, -inf and -nan.
std::int32_t toInt32(double number);

}  // namespace tarn::json
