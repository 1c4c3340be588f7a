// The JSON value: constructors, member lookup and replacement, moves, accessors and the integer conversion.
#include "documents/json/member_index.h"
#include "documents/json/number.h"
#include "documents/json/reader.h"
#include "documents/json/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tarn::json {
namespace {

Value parsed(std::string_view text) {
    Value value;
    std::string error;
    EXPECT_TRUE(parse(text, value, error)) << text << ": " << error;
    return value;
}

TEST(JsonValueConstruction, EachConstructorSetsOnlyItsKind) {
    const Value null;
    EXPECT_EQ(null.kind, Kind::Null);
    const Value number(2.5);
    EXPECT_EQ(number.kind, Kind::Number);
    EXPECT_EQ(number.number, 2.5);
    EXPECT_TRUE(number.numberText.empty());
    EXPECT_TRUE(number.text.empty());
    const Value integer(42);
    EXPECT_EQ(integer.kind, Kind::Number);
    EXPECT_EQ(integer.number, 42.0);
    const Value text(std::string("hi"));
    EXPECT_EQ(text.kind, Kind::String);
    EXPECT_EQ(text.text, "hi");
    EXPECT_EQ(text.number, 0.0);
    EXPECT_EQ(Value("lit").kind, Kind::String);
    EXPECT_EQ(Value::object().kind, Kind::Object);
    EXPECT_EQ(Value::array().kind, Kind::Array);
    EXPECT_EQ(fromBool(true).kind, Kind::Bool);
    EXPECT_TRUE(fromBool(true).flag);
    EXPECT_EQ(static_cast<std::uint32_t>(Kind::Object), 5u);
}

TEST(JsonValueMoves, MoveTakesContainersAndSelfMoveKeepsTheValue) {
    Value source = parsed(R"({"a":[1,2,3],"b":"text"})");
    const Value* firstItem = &source.members[0].value.items[0];
    Value moved(std::move(source));
    EXPECT_TRUE(source.members.empty());  // NOLINT(bugprone-use-after-move): moved-from state is specified
    EXPECT_EQ(&moved.members[0].value.items[0], firstItem);  // no subtree was copied
    Value target;
    target = std::move(moved);
    EXPECT_EQ(target.members.size(), 2u);
    Value& alias = target;
    target = std::move(alias);
    EXPECT_EQ(target.members.size(), 2u);
    EXPECT_EQ(target.members[1].value.text, "text");
}

TEST(JsonValueMoves, GrowingAVectorOfValuesDoesNotCopySubtrees) {
    std::vector<Value> values;
    values.push_back(parsed(R"([[1],[2]])"));
    const Value* inner = &values[0].items[1];
    for (int i = 0; i < 100; ++i) values.emplace_back(i);
    EXPECT_EQ(&values[0].items[1], inner);
}

TEST(JsonValueCopies, CopyIsDeepAndIndependent) {
    const Value original = parsed(R"({"a":{"b":[1]}})");
    Value copy = original;
    copy.members[0].value.members[0].value.items[0].number = 9;
    EXPECT_EQ(original.members[0].value.members[0].value.items[0].number, 1.0);
}

TEST(JsonValueMembers, FindIsExactAndOnlyOnObjects) {
    const Value object = parsed(R"({"a":1,"A":2,"a ":3,"":4})");
    ASSERT_NE(object.find("A"), nullptr);
    EXPECT_EQ(object.find("A")->number, 2.0);
    EXPECT_EQ(object.find("")->number, 4.0);
    EXPECT_EQ(object.find("b"), nullptr);
    EXPECT_EQ(parsed("[1]").find("0"), nullptr);
    // A value that was an object but is now another kind has no members to find.
    Value changed = object;
    changed.kind = Kind::Array;
    EXPECT_EQ(changed.find("a"), nullptr);
}

TEST(JsonValueMembers, SetReplacesInPlaceOrAppends) {
    Value value = parsed(R"({"x":1,"y":2})");
    Value& stored = value.set("x", Value("new"));
    EXPECT_EQ(&stored, &value.members[0].value);
    value.set("z", Value(3));
    ASSERT_EQ(value.members.size(), 3u);
    EXPECT_EQ(value.members[0].key, "x");
    EXPECT_EQ(value.members[0].value.text, "new");
    EXPECT_EQ(value.members[2].key, "z");
    Value fresh;
    fresh.set("k", Value(1));
    EXPECT_EQ(fresh.kind, Kind::Object);
    Value list = Value::array();
    list.append("k", Value(1));
    EXPECT_EQ(list.kind, Kind::Object);
    EXPECT_EQ(list.find("k")->number, 1.0);
}

TEST(JsonValueAccessors, KindDecidesBetweenMemberAndDefault) {
    const Value object = parsed(R"({"n":0.25,"s":"str","b":true,"t":"0.5","big":1e300})");
    EXPECT_EQ(numberOr(object, "n", 7), 0.25);
    EXPECT_EQ(numberOr(object, "t", 7), 7.0);
    EXPECT_EQ(numberOr(object, "missing", 7), 7.0);
    EXPECT_EQ(floatOr(object, "n", 1.0f), 0.25f);
    EXPECT_EQ(floatOr(object, "b", 1.0f), 1.0f);
    EXPECT_TRUE(std::isinf(floatOr(object, "big", 1.0f)));
    EXPECT_EQ(stringOr(object, "s", "d"), "str");
    EXPECT_EQ(stringOr(object, "n", "d"), "d");
    EXPECT_EQ(stringOr(parsed("[\"s\"]"), "s", "d"), "d");
    EXPECT_EQ(numberOr(Value(3), "n", 7), 7.0);
}

TEST(JsonToInt32, TruncatesSaturatesAndMapsNanToZero) {
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(toInt32(2.9), 2);
    EXPECT_EQ(toInt32(-2.9), -2);
    EXPECT_EQ(toInt32(-0.0), 0);
    EXPECT_EQ(toInt32(2147483647.0), hi);
    EXPECT_EQ(toInt32(2147483647.9), hi);
    EXPECT_EQ(toInt32(2147483648.0), hi);
    EXPECT_EQ(toInt32(-2147483648.0), lo);
    EXPECT_EQ(toInt32(-2147483648.9), lo);
    EXPECT_EQ(toInt32(-2147483647.5), -2147483647);
    EXPECT_EQ(toInt32(1e300), hi);
    EXPECT_EQ(toInt32(parsed("-inf").number), lo);
    EXPECT_EQ(toInt32(parsed("-Infinity").number), lo);
    EXPECT_EQ(toInt32(parsed("-nan").number), 0);
    EXPECT_EQ(toInt32(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(JsonMemberIndex, FindsEveryKeyLikeFind) {
    const Value object = parsed(R"({"a":1,"b":{"c":2},"":3,"a\u0000":4})");
    const MemberIndex index(object);
    for (const Member& member : object.members) EXPECT_EQ(index.find(member.key), object.find(member.key));
    EXPECT_EQ(index.find("c"), nullptr);
    EXPECT_EQ(MemberIndex(parsed("[1]")).find("0"), nullptr);
}

TEST(JsonMemberIndex, ManyKeysAcrossTableGrowth) {
    Value object = Value::object();
    for (int i = 0; i < 5000; ++i) object.append("key" + std::to_string(i * 7), Value(i));
    const MemberIndex index(object);
    for (int i = 0; i < 5000; ++i) {
        const Value* found = index.find("key" + std::to_string(i * 7));
        ASSERT_NE(found, nullptr) << i;
        EXPECT_EQ(found->number, i);
    }
    EXPECT_EQ(index.find("key1"), nullptr);
    EXPECT_EQ(index.find(""), nullptr);
}

TEST(JsonQuoteForMessage, ControlBytesAreSpelledOut) {
    EXPECT_EQ(quoteForMessage("plain key"), "\"plain key\"");
    EXPECT_EQ(quoteForMessage("a\"b\\c/\xC3\xA9"), "\"a\"b\\c/\xC3\xA9\"");
    EXPECT_EQ(quoteForMessage(std::string("\0\x1b\x7f\n", 4)), "\"\\u0000\\u001b\\u007f\\u000a\"");
}

}  // namespace
}  // namespace tarn::json
