// Number conversion: the short-spelling path agrees bit for bit with the standard conversion.
#include "documents/json/number.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

namespace tarn::json {
namespace {

// What the standard conversion alone makes of a text: consumed length (0 on failure) and bits.
std::size_t reference(const std::string& text, double& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out, std::chars_format::general);
    return error == std::errc() ? static_cast<std::size_t>(end - text.data()) : 0;
}

std::uint64_t bits(double value) {
    std::uint64_t result = 0;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

void expectSameAsReference(const std::string& text) {
    double expected = 0.0;
    double actual = 0.0;
    const std::size_t expectedUsed = reference(text, expected);
    const std::size_t actualUsed = readNumberPrefix(text, actual);
    ASSERT_EQ(actualUsed, expectedUsed) << text;
    if (expectedUsed != 0) {
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(actual)) << text;
        else
            EXPECT_EQ(bits(actual), bits(expected)) << text;
    }
}

TEST(JsonNumberRead, HandPickedSpellingsMatchTheStandardConversion) {
    for (const char* text : {"0",
                             "-0",
                             "0.0",
                             "-0.000",
                             "1",
                             "-1",
                             "12345678901234",
                             "123456789012345",
                             "1234567890123456",
                             "9007199254740993",
                             "0.1",
                             "0.3",
                             "1.5e3",
                             "1.5E-3",
                             "1e22",
                             "1e23",
                             "1e-22",
                             "1e-23",
                             "4.35",
                             "8.41e21",
                             "1.",
                             "-.5",
                             ".5",
                             "1.e5",
                             "1e",
                             "1e+",
                             "1e-",
                             "1e5x",
                             "1.5.5",
                             "012",
                             "-012.50",
                             "0e999999999",
                             "1e-400",
                             "1e400",
                             "4.9e-324",
                             "2.4e-324",
                             "-inf",
                             "-Infinity",
                             "-nan",
                             "-",
                             "--1",
                             "+1",
                             "e5",
                             "-e5",
                             "0.000000000000000000000001",
                             "100000000000000000000000",
                             "9999999999999999e-22",
                             "3.14159265358979",
                             "0.30000000000000004",
                             "123.456e-5",
                             "5e-324",
                             "1.7976931348623157e308",
                             "1.7976931348623159e308"})
        expectSameAsReference(text);
}

TEST(JsonNumberRead, GeneratedSpellingsMatchTheStandardConversion) {
    std::mt19937_64 rng(20261206);
    auto digits = [&rng](int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out.push_back(static_cast<char>('0' + rng() % 10));
        return out;
    };
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        if (rng() % 2) text += '-';
        text += digits(static_cast<int>(rng() % 18));
        if (rng() % 2) text += '.' + digits(static_cast<int>(rng() % 18));
        if (rng() % 3 == 0) {
            text += rng() % 2 ? 'e' : 'E';
            const auto sign = rng() % 3;
            if (sign == 1) text += '-';
            if (sign == 2) text += '+';
            text += digits(static_cast<int>(rng() % 4));
        }
        if (rng() % 4 == 0) text += ",]"[rng() % 2];
        expectSameAsReference(text);
        if (HasFatalFailure()) return;
    }
}

// The writer's check decides texts of up to nineteen digits itself and leaves longer ones to
// the full conversion: both must agree with the standard conversion of the whole text, on
// either side of that boundary.
TEST(JsonNumberText, AgreesWithTheStandardConversionOfTheWholeText) {
    std::mt19937_64 rng(20261207);
    auto digits = [&rng](int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out.push_back(static_cast<char>('0' + rng() % 10));
        return out;
    };
    for (int i = 0; i < 100000; ++i) {
        std::string text = rng() % 2 ? "-" : "";
        text += digits(static_cast<int>(rng() % 19));
        if (rng() % 2) text += '.' + digits(static_cast<int>(rng() % 19));
        if (rng() % 3 == 0) text += (rng() % 2 ? "e" : "e-") + digits(static_cast<int>(rng() % 3));
        double expected = 0.0;
        const bool whole = !text.empty() && reference(text, expected) == text.size() && text[0] != '.';
        if (!whole || std::isnan(expected)) {
            EXPECT_FALSE(numberTextMatches(text, expected)) << text;
            continue;
        }
        EXPECT_TRUE(numberTextMatches(text, expected)) << text;
        const double neighbour = std::nextafter(expected, INFINITY);
        const bool neighbourIsFloat = static_cast<double>(static_cast<float>(neighbour)) == neighbour;
        if (!neighbourIsFloat || static_cast<float>(neighbour) != static_cast<float>(expected)) {
            EXPECT_FALSE(numberTextMatches(text, neighbour)) << text;
        }
        if (HasFailure()) return;
    }
}

// Whether the standard conversion of the whole text gives `number`, or, for a number that is
// exactly a float, the same float: the rule the writer's check must follow.
bool referenceMatches(const std::string& text, double number) {
    double read = 0.0;
    if (reference(text, read) != text.size()) return false;
    if (read == number) return true;
    const auto narrowed = static_cast<float>(number);
    return static_cast<double>(narrowed) == number && static_cast<float>(read) == narrowed;
}

__extension__ typedef unsigned __int128 Wide;

std::string decimalText(Wide value) {
    char digits[48];
    char* first = digits + sizeof digits;
    do {
        *--first = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    return std::string(first, digits + sizeof digits);
}

// Decimals exactly halfway between two doubles round to the one with the even mantissa; the
// check decides such texts exactly in integers and must agree with the standard conversion
// for both neighbours, for the texts one unit either side, and in several spellings.
TEST(JsonNumberText, HalfwayTextsRoundToTheEvenNeighbour) {
    std::mt19937_64 rng(20261208);
    int halfway = 0;
    for (int i = 0; i < 20000; ++i) {
        constexpr std::uint64_t hidden = std::uint64_t{1} << 52;
        // Every eighth case takes a power of two, whose lower neighbour is twice as close.
        const std::uint64_t significand = i % 8 == 0 ? hidden : hidden | (rng() & (hidden - 1));
        // Shifts -3..9 keep the halfway points within nineteen digits.
        const int shift = static_cast<int>(rng() % 13) - 3;
        const bool below = i % 8 == 0 && rng() % 2 == 0;
        // The halfway point as whole / 10^places: (2m ± 1) × 2^(shift - 1), or (4m - 1) ×
        // 2^(shift - 2) below a power of two.
        Wide whole = below ? 4 * significand - 1 : (rng() % 2 ? 2 * significand + 1 : 2 * significand - 1);
        int twos = below ? shift - 2 : shift - 1;
        int places = 0;
        for (; twos < 0; ++twos, ++places) whole *= 5;
        whole <<= twos;
        const double lower = std::ldexp(static_cast<double>(significand), shift);
        for (const int nudge : {0, -1, 1}) {
            const std::string digits = decimalText(whole + static_cast<Wide>(nudge));
            const std::size_t point = digits.size() - static_cast<std::size_t>(places);
            const std::string text = places > 0 ? digits.substr(0, point) + "." + digits.substr(point) : digits;
            const std::string negative = "-" + text;
            const std::string scaled = digits + "e-" + std::to_string(places);
            for (const double number : {lower, std::nextafter(lower, 0.0), std::nextafter(lower, INFINITY)}) {
                ASSERT_EQ(numberTextMatches(text, number), referenceMatches(text, number)) << text << " " << number;
                ASSERT_EQ(numberTextMatches(scaled, number), referenceMatches(scaled, number)) << scaled;
                ASSERT_EQ(numberTextMatches(negative, -number), referenceMatches(negative, -number)) << negative;
                ASSERT_FALSE(numberTextMatches(negative, number)) << negative;
            }
            halfway += nudge == 0 && referenceMatches(text, lower);
        }
    }
    EXPECT_GT(halfway, 1000);  // the halfway texts did land on the even neighbour often
}

// Long mantissas, the largest scales and the magnitude ends, beside the standard conversion.
TEST(JsonNumberText, MantissaAndScaleLimitsAgreeWithTheStandardConversion) {
    for (const char* text :
         {"9999999999999999999", "18446744073709551615", "18446744073709551616", "12345678901234567e-27",
          "12345678901234567e-28", "12345678901234567e27", "12345678901234567e28", "0.0000000000000000001",
          "1.7976931348623157e308", "2.2250738585072014e-308", "4.9e-324", "123.45678901234567",
          "-0.000012345678901234567", "9007199254740993", "9007199254740992.5", "1e22", "1e23", "00000000000000000001",
          // Below 2^130, too large for a float: a quarter and three
          // quarters of the spacing above 2^130 down, where the next
          // double down is twice as close.
          "1361129467683753803e21", "1361129467683753743e21"}) {
        double number = 0.0;
        ASSERT_NE(reference(text, number), 0u) << text;
        for (const double candidate : {number, std::nextafter(number, 0.0), std::nextafter(number, INFINITY)})
            EXPECT_EQ(numberTextMatches(text, candidate), referenceMatches(text, candidate))
                << text << " " << candidate;
    }
}

TEST(JsonNumberText, MatchesOnlyWholeTextsOfTheSameNumber) {
    EXPECT_TRUE(numberTextMatches("1.50", 1.5));
    EXPECT_TRUE(numberTextMatches("-0", 0.0));
    EXPECT_TRUE(numberTextMatches("0.6", static_cast<double>(0.6f)));  // the float of 0.6
    EXPECT_FALSE(numberTextMatches("0.6", 0.7));
    EXPECT_FALSE(numberTextMatches("1.5e", 1.5));
    EXPECT_FALSE(numberTextMatches(".5", 0.5));  // the reader takes no number starting with a point
    EXPECT_TRUE(numberTextMatches("-.5", -0.5));
    EXPECT_FALSE(numberTextMatches("", 0.0));
}

}  // namespace
}  // namespace tarn::json
