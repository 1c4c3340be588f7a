// The JSON reader: its error messages, depth limit, literals, number texts and string escapes.
#include "documents/json/reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tarn::json {
namespace {

// The message of a failed parse, or "ok" when the text parsed.
std::string errorOf(std::string_view text) {
    Value value;
    std::string error;
    return parse(text, value, error) ? "ok" : error;
}

Value parsed(std::string_view text) {
    Value value;
    std::string error;
    EXPECT_TRUE(parse(text, value, error)) << text << ": " << error;
    return value;
}

std::string nested(int depth) {
    return std::string(static_cast<std::size_t>(depth), '[') + std::string(static_cast<std::size_t>(depth), ']');
}

TEST(JsonReaderMessages, EachMessageIsReachedByItsCase) {
    EXPECT_EQ(errorOf(""), "empty document");
    EXPECT_EQ(errorOf(" \t\r\n"), "empty document");
    EXPECT_EQ(errorOf("1 2"), "unexpected content after the document");
    EXPECT_EQ(errorOf("["), "invalid number");
    EXPECT_EQ(errorOf("[1"), "expected ',' or ']'");
    EXPECT_EQ(errorOf("[1;"), "expected ',' or ']'");
    EXPECT_EQ(errorOf("{\"a\" 1}"), "expected ':'");
    EXPECT_EQ(errorOf("{1:2}"), "expected key");
    EXPECT_EQ(errorOf("{\"a\":1,}"), "expected key");
    EXPECT_EQ(errorOf("{\"a\":1"), "expected ',' or '}'");
    EXPECT_EQ(errorOf("{\"a\":1]"), "expected ',' or '}'");
    EXPECT_EQ(errorOf("{\"a\":1,\"a\":2}"), "duplicate key \"a\"");
    EXPECT_EQ(errorOf("tru"), "invalid literal");
    EXPECT_EQ(errorOf("nul"), "invalid literal");
    EXPECT_EQ(errorOf("fals"), "invalid literal");
    EXPECT_EQ(errorOf("-"), "invalid number");
    EXPECT_EQ(errorOf("x"), "invalid number");
    EXPECT_EQ(errorOf("1e400"), "invalid number");
    EXPECT_EQ(errorOf("1e-400"), "invalid number");
    EXPECT_EQ(errorOf("[1,]"), "invalid number");
    EXPECT_EQ(errorOf("\"abc"), "unterminated string");
    EXPECT_EQ(errorOf("\"abc\\"), "unterminated string");
    EXPECT_EQ(errorOf("\"\\u12"), "truncated \\u escape");
    EXPECT_EQ(errorOf("\"\\u12g4\""), "bad \\u escape");
    EXPECT_EQ(errorOf("\"\\ud83d\\u0041\""), "unpaired surrogate");
    EXPECT_EQ(errorOf(nested(257)), "document nested too deep");
}

TEST(JsonReaderMessages, NoCommentsOrByteOrderMark) {
    EXPECT_EQ(errorOf("// c\n1"), "invalid number");
    EXPECT_EQ(errorOf("\xEF\xBB\xBF{}"), "invalid number");
    EXPECT_EQ(errorOf("1 /* c */"), "unexpected content after the document");
    EXPECT_EQ(errorOf("\f1"), "invalid number");
}

TEST(JsonReaderMessages, DuplicateKeyIsFoundInLargeObjectsAndQuotedSafely) {
    std::string text = "{";
    for (int i = 0; i < 100; ++i) text += "\"k" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    EXPECT_EQ(errorOf(text + "\"k57\":0}"), "duplicate key \"k57\"");
    EXPECT_EQ(errorOf(text + "\"k100\":0}"), "ok");
    // Keys that differ only after an escape are distinct; equal decoded keys are duplicates.
    EXPECT_EQ(errorOf("{\"a\":1,\"\\u0061\":2}"), "duplicate key \"a\"");
    // A key holding control bytes stays one line, with no escape sequence reaching a terminal.
    EXPECT_EQ(errorOf("{\"a\\n\\u001b[31m\x7f\":1,\"a\\n\\u001b[31m\x7f\":2}"),
              "duplicate key \"a\\u000a\\u001b[31m\\u007f\"");
}

TEST(JsonReaderDepth, TwoHundredFiftySixLevelsAreTheLimit) {
    EXPECT_EQ(errorOf(nested(256)), "ok");
    EXPECT_EQ(errorOf(nested(257)), "document nested too deep");
    std::string objects;
    for (int i = 0; i < 255; ++i) objects += "{\"a\":";
    EXPECT_EQ(errorOf(objects + "[]" + std::string(255, '}')), "ok");
    EXPECT_EQ(errorOf(objects + "[[]]" + std::string(255, '}')), "document nested too deep");
    // Depth is counted while nested, not in total: many siblings at depth 256 are fine.
    std::string siblings = "[";
    siblings += nested(255);
    siblings += ',';
    siblings += nested(255);
    siblings += ']';
    EXPECT_EQ(errorOf(siblings), "ok");
}

TEST(JsonReaderDepth, HundredThousandOpeningBracketsFailWithoutOverflow) {
    EXPECT_EQ(errorOf(std::string(100000, '[')), "document nested too deep");
    std::string mixed;
    for (int i = 0; i < 50000; ++i) mixed += "[{\"\":";
    EXPECT_EQ(errorOf(mixed), "document nested too deep");
}

TEST(JsonReaderLiterals, FollowingCharacterIsJudgedByTheCaller) {
    EXPECT_EQ(errorOf("truex"), "unexpected content after the document");
    EXPECT_EQ(errorOf("[truex]"), "expected ',' or ']'");
    EXPECT_EQ(errorOf("{\"a\":nullx}"), "expected ',' or '}'");
    const Value value = parsed(" [true,false,null] ");
    ASSERT_EQ(value.kind, Kind::Array);
    ASSERT_EQ(value.items.size(), 3u);
    EXPECT_EQ(value.items[0].kind, Kind::Bool);
    EXPECT_TRUE(value.items[0].flag);
    EXPECT_EQ(value.items[1].kind, Kind::Bool);
    EXPECT_FALSE(value.items[1].flag);
    EXPECT_EQ(value.items[2].kind, Kind::Null);
}

TEST(JsonReaderNumbers, TextIsKeptExactly) {
    for (const char* text : {"1.50", "1E6", "-0", "0.000", "012", "1.", "-.5", "2.e+3", "-inf", "-Infinity",
                             "10000000000000000999", "4.9e-324"}) {
        const Value value = parsed(text);
        EXPECT_EQ(value.kind, Kind::Number) << text;
        EXPECT_EQ(value.numberText, text);
    }
    EXPECT_EQ(parsed("1.50").number, 1.5);
    EXPECT_EQ(parsed("1E6").number, 1e6);
    EXPECT_TRUE(std::signbit(parsed("-0").number));
    EXPECT_EQ(parsed("-inf").number, -INFINITY);
    EXPECT_TRUE(std::isnan(parsed("-nan").number));
}

TEST(JsonReaderNumbers, ConversionTakesTheLongestPrefix) {
    EXPECT_EQ(errorOf("1.5.5"), "unexpected content after the document");
    EXPECT_EQ(errorOf("[1e]"), "expected ',' or ']'");  // "1" is read, then "e" is left over
    EXPECT_EQ(errorOf("--1"), "invalid number");
    EXPECT_EQ(errorOf("+1"), "invalid number");
    EXPECT_EQ(errorOf("inf"), "invalid number");  // only after a minus sign
    EXPECT_EQ(errorOf(".5"), "invalid number");
    EXPECT_EQ(errorOf("0x10"), "unexpected content after the document");
}

// Long arrays reserve from the bytes per item of their first items: the guess must hold
// however wrong it is, for the outermost array and for nested ones.
TEST(JsonReaderArrays, LongArraysKeepEveryItemWhateverTheirSpellingLengths) {
    for (const bool shortFirst : {true, false}) {
        std::string items;
        std::string expected;
        for (int i = 0; i < 30000; ++i) {
            const bool isShort = (i < 5000) == shortFirst;
            items += i ? "," : "";
            items += isShort ? std::to_string(i % 10) : "-1234.56789012345678e-3";
        }
        for (const std::string& text : {"[" + items + "]", "[[" + items + "],[" + items + "]]"}) {
            const Value value = parsed(text);
            const Value& list = value.items.size() == 2 ? value.items[1] : value;
            ASSERT_EQ(list.items.size(), 30000u);
            EXPECT_EQ(list.items[4999].numberText, shortFirst ? "9" : "-1234.56789012345678e-3");
            EXPECT_EQ(list.items[5000].numberText, shortFirst ? "-1234.56789012345678e-3" : "0");
            EXPECT_EQ(list.items[29999].number, shortFirst ? -1.23456789012345678 : 9.0);
        }
    }
}

TEST(JsonReaderStrings, EscapesDecode) {
    EXPECT_EQ(parsed(R"("\"\\\/\b\f\n\r\t")").text, "\"\\/\b\f\n\r\t");
    EXPECT_EQ(parsed(R"("\q\x")").text, "qx");  // other escaped characters stand for themselves
    EXPECT_EQ(parsed(R"("\u00e9\u00E9")").text, "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(parsed(R"("\u0041\u07ff\u0800\uffff")").text, "A\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
    EXPECT_EQ(parsed("\"raw\ttab\x01 and \xFF\xFE bytes\"").text, "raw\ttab\x01 and \xFF\xFE bytes");
}

TEST(JsonReaderStrings, SurrogatePairsAndLoneSurrogates) {
    EXPECT_EQ(parsed(R"("\ud83d\ude00")").text, "\xF0\x9F\x98\x80");
    EXPECT_EQ(parsed(R"("\uDBFF\uDFFF")").text, "\xF4\x8F\xBF\xBF");
    // Lone surrogates are kept as their own three-byte sequences.
    EXPECT_EQ(parsed(R"("\ud83d")").text, "\xED\xA0\xBD");
    EXPECT_EQ(parsed(R"("\ude00x")").text, "\xED\xB8\x80x");
    EXPECT_EQ(parsed(R"("\ud83d\n")").text, "\xED\xA0\xBD\n");
    EXPECT_EQ(errorOf(R"("\ud83d\u0041")"), "unpaired surrogate");
    EXPECT_EQ(errorOf(R"("\ud83d\ud83d")"), "unpaired surrogate");
    EXPECT_EQ(errorOf(R"("\ud83d\ude0)"), "truncated \\u escape");
    EXPECT_EQ(errorOf(R"("\ud83d\ude0x")"), "bad \\u escape");
    EXPECT_EQ(errorOf(R"("\ud83d\)"), "unterminated string");
}

TEST(JsonReaderStrings, NulBytesSurviveInsideStrings) {
    const Value value = parsed(std::string_view("[\"a\\u0000b\",\"c\0d\"]", 18));
    ASSERT_EQ(value.items.size(), 2u);
    EXPECT_EQ(value.items[0].text, std::string("a\0b", 3));
    EXPECT_EQ(value.items[1].text, std::string("c\0d", 3));
}

TEST(JsonReaderObjects, MembersKeepDocumentOrder) {
    const Value value = parsed(R"({"z":1,"a":{"y":[]},"m":"s"})");
    ASSERT_EQ(value.kind, Kind::Object);
    ASSERT_EQ(value.members.size(), 3u);
    EXPECT_EQ(value.members[0].key, "z");
    EXPECT_EQ(value.members[1].key, "a");
    EXPECT_EQ(value.members[2].key, "m");
    EXPECT_EQ(value.members[1].value.members[0].value.kind, Kind::Array);
    EXPECT_EQ(value.members[2].value.text, "s");
}

TEST(JsonReaderOutput, PreviousContentOfTheTargetIsReplaced) {
    Value value = parsed(R"({"a":[1,2],"b":"x"})");
    std::string error;
    ASSERT_TRUE(parse("7", value, error));
    EXPECT_EQ(value.kind, Kind::Number);
    EXPECT_TRUE(value.members.empty());
    EXPECT_TRUE(value.items.empty());
    EXPECT_TRUE(value.text.empty());
}

}  // namespace
}  // namespace tarn::json
