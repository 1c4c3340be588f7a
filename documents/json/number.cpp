// Number text of the JSON layer: locale-independent conversions both ways.
#include "documents/json/number.h"

#include <algorithm>
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

constexpr std::uint64_t kPowers10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Nineteen decimal digits always fit 64 bits; longer mantissas go to the full conversion.
constexpr int kMaxDigits = 19;

// A number text taken apart: mantissa × 10^scale, the mantissa exact in 64 bits.
struct Decimal {
    std::uint64_t mantissa = 0;
    int scale = 0;
    bool negative = false;
};

// Appends the run of digits at `p` to `mantissa` and returns how many there were; once the
// count passes kMaxDigits the mantissa has wrapped, only the count means anything, and
// reading stops. Eight bytes are judged and converted at a time: the number lengths of a
// list vary at random, and a loop stopping at an unpredictable digit costs more than the
// digits. Memory from `first` up to `readable` may be read; bytes from `last` on are never
// digits. Near the end the eight bytes before `last` are read and shifted down, so only
// texts shorter than eight go digit by digit.
[[gnu::always_inline]] inline int appendDigits(const char*& p, const char* first, const char* last,
                                               const char* readable, std::uint64_t& mantissa) {
    int count = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (;;) {
            std::uint64_t word = 0;
            if (readable - p >= 8) {
                std::memcpy(&word, p, sizeof word);
            } else if (last - first >= 8 && p != last) {
                std::memcpy(&word, last - 8, sizeof word);
                word >>= 8 * (8 - (last - p));
            } else {
                break;
            }
            // A byte is a digit when it and the byte plus 6 both have 3 as their high half.
            constexpr std::uint64_t high = 0xF0F0F0F0F0F0F0F0ull;
            constexpr std::uint64_t threes = 0x3030303030303030ull;
            const std::uint64_t nonDigit =
                ((word & high) ^ threes) | (((word + 0x0606060606060606ull) & high) ^ threes);
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
            mantissa = mantissa * kPowers10[length] + (digits & 0xFFFFFFFFull);
            p += length;
            count += length;
            if (length < 8 || count > kMaxDigits) return count;
        }
    }
    for (; p != last && isDigit(*p) && count <= kMaxDigits; ++p, ++count)
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    return count;
}

// Takes apart a plain decimal spelling (digits, fraction, exponent) whose mantissa fits 64
// bits. Returns the characters consumed, or 0 for anything else: infinities, NaN, longer
// mantissas, huge exponents and malformed texts are left to the full conversion. Bytes from
// `last` up to `readable` may be read and are never digits.
[[gnu::always_inline]] inline std::size_t readDecimal(const char* first, const char* last, const char* readable,
                                                      Decimal& out) {
    const char* p = first;
    out.negative = p != last && *p == '-';
    if (out.negative) ++p;
    out.mantissa = 0;
    out.scale = 0;
    int mantissaDigits = appendDigits(p, first, last, readable, out.mantissa);
    if (p != last && *p == '.' && mantissaDigits <= kMaxDigits) {
        ++p;
        const int fractionDigits = appendDigits(p, first, last, readable, out.mantissa);
        mantissaDigits += fractionDigits;
        out.scale = -fractionDigits;
    }
    if (mantissaDigits == 0 || mantissaDigits > kMaxDigits) return 0;
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
            out.scale += negativeExponent ? -exponent : exponent;
        }
    }
    return static_cast<std::size_t>(p - first);
}

// The exact double of a decimal whose mantissa is exactly a double and whose scale is within
// 10^22: one multiplication or division, which IEEE arithmetic rounds correctly, so the
// result is bit-identical to the full conversion (Clinger's fast path). False otherwise.
bool exactDouble(const Decimal& decimal, double& out) {
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    double value = 0.0;
    if (decimal.mantissa != 0) {
        if (decimal.mantissa > (std::uint64_t{1} << 53) || decimal.scale < -22 || decimal.scale > 22) return false;
        value = static_cast<double>(decimal.mantissa);
        value = decimal.scale < 0 ? value / powers[-decimal.scale] : value * powers[decimal.scale];
    }
    out = decimal.negative ? -value : value;
    return true;
}

// GCC and Clang have 128-bit integers; ISO C++ does not, hence the extension marker.
__extension__ typedef unsigned __int128 Wide;

// 5^0 to 5^27: the largest power whose product with a 64-bit mantissa stays below 2^127.
constexpr std::uint64_t kPowers5[] = {1ull,
                                      5ull,
                                      25ull,
                                      125ull,
                                      625ull,
                                      3125ull,
                                      15625ull,
                                      78125ull,
                                      390625ull,
                                      1953125ull,
                                      9765625ull,
                                      48828125ull,
                                      244140625ull,
                                      1220703125ull,
                                      6103515625ull,
                                      30517578125ull,
                                      152587890625ull,
                                      762939453125ull,
                                      3814697265625ull,
                                      19073486328125ull,
                                      95367431640625ull,
                                      476837158203125ull,
                                      2384185791015625ull,
                                      11920928955078125ull,
                                      59604644775390625ull,
                                      298023223876953125ull,
                                      1490116119384765625ull,
                                      7450580596923828125ull};
constexpr int kMaxScale = 27;

enum class Rounding { To, NotTo, Unknown };

// Whether a nonzero decimal reads back as `number`, decided exactly in integers: the decimal
// must lie inside the interval of reals that round to the double, its ends belonging to it
// when the double's mantissa is even (round half to even, as the full conversion rounds).
// Unknown for what this does not cover: zero, subnormal and the largest numbers, scales
// beyond 10^27, a sign that differs, and a decimal too far from the double to compare here.
Rounding decimalRounding(const Decimal& decimal, double number) {
    if (decimal.scale < -kMaxScale || decimal.scale > kMaxScale || decimal.mantissa == 0) return Rounding::Unknown;
    const auto bits = std::bit_cast<std::uint64_t>(number);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased <= 1 || biased >= 0x7FE || (bits >> 63) != static_cast<std::uint64_t>(decimal.negative))
        return Rounding::Unknown;
    constexpr std::uint64_t hidden = std::uint64_t{1} << 52;
    const std::uint64_t significand = (bits & (hidden - 1)) | hidden;
    const int exponent = biased - 1075;  // number = significand × 2^exponent
    // Both as integers times powers of two, the power of five of 10^scale on whichever side
    // keeps it whole: decimal = a × 2^aShift, number = b × 2^bShift, and a quarter of the
    // spacing of doubles at the number = unit × 2^(bShift - 2).
    Wide a = decimal.mantissa;
    Wide b = significand;
    Wide unit = 1;
    int aShift = 0;
    int bShift = exponent;
    if (decimal.scale >= 0) {
        a *= kPowers5[decimal.scale];
        aShift = decimal.scale;
    } else {
        unit = kPowers5[-decimal.scale];
        b *= unit;
        bShift -= decimal.scale;
    }
    // Brought to the smallest of the three powers of two, all are whole numbers. a stays
    // below 2^127 and b below 2^117; a shift that would pass 2^126 is not made.
    const int base = std::min(aShift, bShift - 2);
    const int aUp = aShift - base;
    const int bUp = bShift - base;
    if (aUp > 126 || bUp > 126 || (a >> (126 - aUp)) != 0 || (b >> (126 - bUp)) != 0) return Rounding::Unknown;
    a <<= aUp;
    b <<= bUp;
    const Wide quarter = unit << (bUp - 2);
    // Halfway to the next double up; halfway down, where the double is a power of two, the
    // next one down is twice as close.
    const bool above = a >= b;
    const Wide distance = above ? a - b : b - a;
    const Wide half = !above && significand == hidden ? quarter : quarter << 1;
    const bool even = (significand & 1) == 0;
    return distance < half || (distance == half && even) ? Rounding::To : Rounding::NotTo;
}

// The full, correctly rounded conversion; the characters consumed, 0 for none or out of range.
std::size_t readLongNumber(const char* first, const char* last, double& out) {
    const auto [end, error] = std::from_chars(first, last, out, std::chars_format::general);
    if (error != std::errc()) return 0;
    return static_cast<std::size_t>(end - first);
}

// Whether a text read as `read` may stand for `number`: the same double, or, for a number
// that is exactly a float, the same float.
bool standsFor(double read, double number) {
    if (read == number) return true;
    const float narrowed = static_cast<float>(number);
    return static_cast<double>(narrowed) == number && static_cast<float>(read) == narrowed;
}

}  // namespace

std::size_t readNumberPrefix(std::string_view text, double& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    Decimal decimal;
    if (const std::size_t used = readDecimal(first, last, last, decimal); used != 0 && exactDouble(decimal, out))
        return used;
    return readLongNumber(first, last, out);
}

bool numberTextMatches(std::string_view text, double number) {
    // Only texts the reader itself would take back are trusted: a number starts with a minus
    // sign or a digit, so a bare "inf" set in memory is not written as a bogus literal.
    if (text.empty() || !(text[0] == '-' || (text[0] >= '0' && text[0] <= '9'))) return false;
    // Every number of a document written is checked, so the usual texts are judged without
    // converting them in full: taken apart, then compared exactly with the double. Whatever
    // that does not settle (long or unusual texts) goes to the full conversion.
    const char* first = text.data();
    const char* last = first + text.size();
    Decimal decimal;
    double read = 0.0;
    if (readDecimal(first, last, last, decimal) == text.size()) {
        // The short texts of numbers built from floats land here too, read exactly.
        if (exactDouble(decimal, read)) return standsFor(read, number);
        if (decimalRounding(decimal, number) == Rounding::To) return true;
    }
    return readLongNumber(first, last, read) == text.size() && standsFor(read, number);
}

char* writeShortest(char* to, double number) { return std::to_chars(to, to + kShortestLength, number).ptr; }

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
