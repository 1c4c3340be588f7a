// Number text of the JSON layer: locale-independent conversions both ways.
#include "documents/json/number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tarn::json {

std::size_t readNumberPrefix(std::string_view text, double& out) {
    const char* first = text.data();
    const auto [end, error] = std::from_chars(first, first + text.size(), out, std::chars_format::general);
    if (error != std::errc()) return 0;
    return static_cast<std::size_t>(end - first);
}

bool numberTextMatches(std::string_view text, double number) {
    // Only texts the reader itself would take back are trusted: a number starts with a minus
    // sign or a digit, so a bare "inf" set in memory is not written as a bogus literal.
    if (text.empty() || !(text[0] == '-' || (text[0] >= '0' && text[0] <= '9'))) return false;
    double read = 0.0;
    if (readNumberPrefix(text, read) != text.size()) return false;
    if (read == number) return true;
    const float narrowed = static_cast<float>(number);
    return static_cast<double>(narrowed) == number && static_cast<float>(read) == narrowed;
}

void appendShortest(std::string& out, double number) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, result.ptr);
}

std::string shortestFloatText(float number) {
    if (!std::isfinite(number)) return {};
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::string(buffer, result.ptr);
}

std::int32_t toInt32(double number) {
    if (std::isnan(number)) return 0;
    constexpr double lowest = static_cast<double>(std::numeric_limits<std::int32_t>::min());
    constexpr double highest = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    if (number <= lowest) return std::numeric_limits<std::int32_t>::min();
    if (number >= highest) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(number);  // in range: truncates toward zero
}

}  // namespace tarn::json
