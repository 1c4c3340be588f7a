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
    for (const char* text :
         {"0", "-0", "0.0", "-0.000", "1", "-1", "12345678901234", "123456789012345", "1234567890123456",
          "9007199254740993", "0.1", "0.3", "1.5e3", "1.5E-3", "1e22", "1e23", "1e-22", "1e-23", "4.35", "8.41e21",
          "1.", "-.5", ".5", "1.e5", "1e", "1e+", "1e-", "1e5x", "1.5.5", "012", "-012.50", "0e999999999",
          "1e-400", "1e400", "4.9e-324", "2.4e-324", "-inf", "-Infinity", "-nan", "-", "--1", "+1", "e5", "-e5",
          "0.000000000000000000000001", "100000000000000000000000", "9999999999999999e-22", "3.14159265358979",
          "0.30000000000000004", "123.456e-5", "5e-324", "1.7976931348623157e308", "1.7976931348623159e308"})
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

// The writer's check judges kept texts in a padded copy, eight digits at a time, up to 17
// characters and by the full conversion from 18 on: both must agree with the standard
// conversion of the whole text, on either side of the length boundary.
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
