// Number conversions of the storage readers at the edges of the float and integer ranges.
#include "storage/document_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarn {
namespace {

TEST(FiniteFloat, KeepsEveryNumberThatRoundsToAFiniteFloat) {
    constexpr float largest = std::numeric_limits<float>::max();
    EXPECT_EQ(finiteFloat(3.4028235e38), largest) << "the shortest text of the largest float reads back";
    EXPECT_EQ(finiteFloat(-3.4028235e38), -largest);
    EXPECT_EQ(finiteFloat(std::nextafter(0x1.ffffffp127, 0.0)), largest);
    EXPECT_EQ(finiteFloat(1e-50), 0.0f) << "underflow rounds to zero, which is finite";
    EXPECT_TRUE(std::signbit(*finiteFloat(-0.0)));
    EXPECT_EQ(finiteFloat(0.6), 0.6f);
}

TEST(FiniteFloat, RefusesWhatWouldBeInfiniteOrNotANumber) {
    EXPECT_FALSE(finiteFloat(0x1.ffffffp127)) << "halfway to 2^128 rounds to infinity";
    EXPECT_FALSE(finiteFloat(1e308));
    EXPECT_FALSE(finiteFloat(-1e308));
    EXPECT_FALSE(finiteFloat(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(finiteFloat(-std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(finiteFloat(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(finiteFloat(-std::numeric_limits<double>::quiet_NaN()));
}

TEST(FiniteFloat, MemberMustBeANumber) {
    EXPECT_FALSE(finiteFloatMember(nullptr));
    EXPECT_FALSE(finiteFloatMember(&static_cast<const json::Value&>(json::Value("0.5"))));
    const json::Value number(0.25);
    EXPECT_EQ(finiteFloatMember(&number), 0.25f);
}

TEST(SeedFromNumber, TruncatesTo64BitsThenKeepsTheLow32) {
    EXPECT_EQ(seedFromNumber(42.99), 42u);
    EXPECT_EQ(seedFromNumber(-0.99), 0u);
    EXPECT_EQ(seedFromNumber(-1.0), 0xFFFFFFFFu);
    EXPECT_EQ(seedFromNumber(4294967296.0 + 7.0), 7u);
    EXPECT_EQ(seedFromNumber(9223372036854775808.0), 0xFFFFFFFFu) << "2^63 saturates to the largest int64";
    EXPECT_EQ(seedFromNumber(-9223372036854775808.0), 0u) << "-2^63 is itself an int64";
    EXPECT_EQ(seedFromNumber(1e308), 0xFFFFFFFFu);
    EXPECT_EQ(seedFromNumber(-std::numeric_limits<double>::infinity()), 0u);
    EXPECT_EQ(seedFromNumber(std::numeric_limits<double>::quiet_NaN()), 0u);
}

}  // namespace
}  // namespace tarn
