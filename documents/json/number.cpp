// Number text of the JSON layer: locale-independent conversions both ways.
#include "documents/json/number.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace tarn::json {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::uint64_t kPowers10[] = {1,         10,         100,         1000,         10000,
                                       100000,    1000000,    10000000,    100000000,    1000000000,
                                       10000000000, 100000000000, 1000000000000, 10000000000000,
                                       100000000000000, 1000000000000000};
// A mantissa of 16 significant digits or more is left to the full conversion.
constexpr std::uint64_t kMantissaLimit = kPowers10[15];

// Appends the run of digits at `p` to `mantissa` and returns how many there were, or -1 once
// the mantissa reaches kMantissaLimit. Eight bytes are judged and converted at a time where
// the memory allows: the number lengths of a list vary at random, and a loop stopping at an
// unpredictable digit costs more than the digits. Bytes from `last` up to `readable` may be
// read and are never digits.
int appendDigits(const char*& p, const char* last, const char* readable, std::uint64_t& mantissa) {
    int count = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (readable - p >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, p, sizeof word);
            // A byte is a digit when it and the byte plus 6 both have 3 as their high half.
            constexpr std::uint64_t high = 0xF0F0F0F0F0F0F0F0ull;
            constexpr std::uint64_t threes = 0x3030303030303030ull;
            const std::uint64_t nonDigit = ((word & high) ^ threes) | (((word + 0x0606060606060606ull) & high) ^ threes);
            const int length = nonDigit == 0 ? 8 : std::countr_zero(nonDigit) / 8;
            // The digits move to the top bytes, below them zeros stand for leading zero digits
            // (two half shifts, so that no digit at all leaves zero); then pairs, fours and
            // eights of digits are combined by multiplication. No branch depends on the length
            // but the one leaving the loop.
            const int halfShift = 4 * (8 - length);
            std::uint64_t digits = ((word - threes) << halfShift) << halfShift;
            digits = digits * 10 + (digits >> 8);
            digits = (((digits & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
                      (((digits >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
                     32;
            std::uint64_t shifted = 0;
            const bool overflow = __builtin_mul_overflow(mantissa, kPowers10[length], &shifted);
            mantissa = shifted + (digits & 0xFFFFFFFFull);
            if (overflow || mantissa >= kMantissaLimit) return -1;
            p += length;
            count += length;
            if (length < 8) return count;
        }
    }
    for (; p != last && isDigit(*p); ++p, ++count) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        if (mantissa >= kMantissaLimit) return -1;
    }
    return count;
}

// Reads the common short spellings (at most 15 significant digits, a decimal scale within
// 10^22) with one exact multiplication or division, which IEEE arithmetic rounds correctly,
// so the result is bit-identical to the full conversion (Clinger's fast path). Returns the
// characters consumed, or 0 to leave the text to the full conversion: infinities, NaN, long
// mantissas, large scales and malformed texts all go there. Bytes from `last` up to
// `readable` may be read and are never digits.
std::size_t readShortNumber(const char* first, const char* last, const char* readable, double& out) {
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative) ++p;
    // Leading zeros add nothing to the mantissa, so it stays below 10^15 exactly while the
    // digits from the first nonzero one number at most 15.
    std::uint64_t mantissa = 0;
    int scale = 0;
    const int wholeDigits = appendDigits(p, last, readable, mantissa);
    if (wholeDigits < 0) return 0;
    int mantissaDigits = wholeDigits;
    if (p != last && *p == '.') {
        ++p;
        const int fractionDigits = appendDigits(p, last, readable, mantissa);
        if (fractionDigits < 0) return 0;
        mantissaDigits += fractionDigits;
        scale = -fractionDigits;
    }
    if (mantissaDigits == 0) return 0;
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* exponentStart = p;
        ++p;
        const bool negativeExponent = p != last && *p == '-';
        if (p != last && (*p == '-' || *p == '+')) ++p;
        if (p == last || !isDigit(*p)) {
            p = exponentStart;  // an 'e' without digits is not part of the number
        } else {
            int exponent = 0;
            for (; p != last && isDigit(*p); ++p) {
                if (exponent > 10000) return 0;
                exponent = exponent * 10 + (*p - '0');
            }
            scale += negativeExponent ? -exponent : exponent;
        }
    }
    double value = 0.0;
    if (mantissa != 0) {
        if (scale < -22 || scale > 22) return 0;
        value = static_cast<double>(mantissa);
        value = scale < 0 ? value / powers[-scale] : value * powers[scale];
    }
    out = negative ? -value : value;
    return static_cast<std::size_t>(p - first);
}

// The full, correctly rounded conversion; the characters consumed, 0 for none or out of range.
std::size_t readLongNumber(const char* first, const char* last, double& out) {
    const auto [end, error] = std::from_chars(first, last, out, std::chars_format::general);
    if (error != std::errc()) return 0;
    return static_cast<std::size_t>(end - first);
}

}  // namespace

std::size_t readNumberPrefix(std::string_view text, double& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (const std::size_t used = readShortNumber(first, last, last, out)) return used;
    return readLongNumber(first, last, out);
}

bool numberTextMatches(std::string_view text, double number) {
    // Only texts the reader itself would take back are trusted: a number starts with a minus
    // sign or a digit, so a bare "inf" set in memory is not written as a bogus literal.
    if (text.empty() || !(text[0] == '-' || (text[0] >= '0' && text[0] <= '9'))) return false;
    double read = 0.0;
    // A short text is copied into a buffer padded with NUL bytes, so its digits can be read
    // eight at a time up to its end. From eighteen characters on a text mostly carries more
    // digits than the exact short path takes (seventeen significant digits and a point), so
    // it goes straight to the full conversion, which gives the same double for every text.
    std::size_t used = 0;
    if (text.size() < 18) {
        char padded[32] = {};
        std::memcpy(padded, text.data(), text.size());
        used = readShortNumber(padded, padded + text.size(), padded + sizeof padded, read);
    }
    if (used == 0) used = readLongNumber(text.data(), text.data() + text.size(), read);
    if (used != text.size()) return false;
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
