// The JSON writers: number spelling, string escapes, member order and the indented layout.
#include "documents/json/reader.h"
#include "documents/json/writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tarn::json {
namespace {

Value parsed(std::string_view text) {
    Value value;
    std::string error;
    EXPECT_TRUE(parse(text, value, error)) << text << ": " << error;
    return value;
}

TEST(JsonWriteNumber, ReadTextIsWrittenBackUnchanged) {
    for (const char* text : {"1.50", "1E6", "-0", "0.000", "012", "1.", "-.5", "-inf", "-Infinity",
                             "10000000000000000999", "1.000000000000000005"}) {
        EXPECT_EQ(writeNumber(parsed(text)), text);
        EXPECT_EQ(write(parsed(std::string("[") + text + "]")), std::string("[") + text + "]");
    }
}

TEST(JsonWriteNumber, BuiltNumbersUseTheShortestText) {
    EXPECT_EQ(writeNumber(Value(1.5)), "1.5");
    EXPECT_EQ(writeNumber(Value(0.1)), "0.1");
    EXPECT_EQ(writeNumber(Value(-0.0)), "-0");
    EXPECT_EQ(writeNumber(Value(100)), "100");
    EXPECT_EQ(writeNumber(Value(1e21)), "1e+21");
    EXPECT_EQ(writeNumber(Value(1.0 / 3.0)), "0.3333333333333333");
    EXPECT_EQ(writeNumber(Value(5e-324)), "5e-324");
}

TEST(JsonWriteNumber, FloatsKeepTheirShortText) {
    EXPECT_EQ(fromFloat(0.6f).numberText, "0.6");
    EXPECT_EQ(writeNumber(fromFloat(0.6f)), "0.6");
    EXPECT_EQ(writeNumber(Value(static_cast<double>(0.6f))), "0.6000000238418579");
    EXPECT_EQ(fromFloat(-0.0f).numberText, "-0");
    EXPECT_EQ(fromFloat(0.0f).numberText, "0");
    EXPECT_EQ(fromFloat(1e-10f).numberText, "1e-10");
    EXPECT_EQ(fromFloat(123456.0f).numberText, "123456");
    EXPECT_EQ(fromFloat(std::numeric_limits<float>::infinity()).numberText, "");
    EXPECT_EQ(fromFloat(std::numeric_limits<float>::quiet_NaN()).numberText, "");
    EXPECT_EQ(writeNumber(fromFloat(-std::numeric_limits<float>::infinity())), "null");
    // A float read back from a short text keeps that text when written from the float again.
    Value read = parsed("0.6");
    read.number = static_cast<double>(static_cast<float>(read.number));
    EXPECT_EQ(writeNumber(read), "0.6");
}

TEST(JsonWriteNumber, StaleTextIsReplacedByTheShortestText) {
    Value value = parsed("1.50");
    value.number = 2.25;
    EXPECT_EQ(writeNumber(value), "2.25");
    value = parsed("0.6");
    value.number = 0.7;  // not a float: the float comparison must not rescue the old text
    EXPECT_EQ(writeNumber(value), "0.7");
    value = parsed("-inf");
    value.number = 3;
    EXPECT_EQ(writeNumber(value), "3");
    // Texts the reader would not take back are never written.
    for (const char* bogus : {"1.5x", " 1.5", "+1.5", "1.5 ", "1.5e"}) {
        Value forged(1.5);
        forged.numberText = bogus;
        EXPECT_EQ(writeNumber(forged), "1.5") << bogus;
    }
    Value infinite(std::numeric_limits<double>::infinity());
    infinite.numberText = "inf";  // converts to the same value but is no JSON the reader takes
    EXPECT_EQ(writeNumber(infinite), "null");
}

TEST(JsonWriteNumber, NonFiniteNumbersWithoutTextAreNull) {
    EXPECT_EQ(writeNumber(Value(std::numeric_limits<double>::infinity())), "null");
    EXPECT_EQ(writeNumber(Value(-std::numeric_limits<double>::infinity())), "null");
    EXPECT_EQ(writeNumber(Value(std::numeric_limits<double>::quiet_NaN())), "null");
    // NaN never equals its own text's value, so a read -nan is written as null.
    EXPECT_EQ(write(parsed("[-nan,-NaN]")), "[null,null]");
}

TEST(JsonWriteString, EscapesOnlyWhatMustBeEscaped) {
    EXPECT_EQ(writeString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(writeString("\t\n\r"), "\"\\t\\n\\r\"");
    EXPECT_EQ(writeString("\x01"), "\"\\u0001\"");
    EXPECT_EQ(writeString("\f\b\x1f"), "\"\\u000c\\u0008\\u001f\"");
    EXPECT_EQ(writeString("a/b\x7f\xC3\xA9\xFF"), "\"a/b\x7f\xC3\xA9\xFF\"");
    EXPECT_EQ(writeString(std::string("x\0y", 3)), "\"x\\u0000y\"");
    EXPECT_EQ(writeString(""), "\"\"");
}

TEST(JsonWriteString, NulAndControlBytesRoundTrip) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    Value array = Value::array();
    array.push(Value(all));
    Value object = Value::object();
    object.set(std::string("k\0ey", 4), Value(all));
    for (const Value& value : {array, object}) {
        const std::string text = write(value);
        const Value back = parsed(text);
        EXPECT_EQ(write(back), text);
    }
    EXPECT_EQ(parsed(write(array)).items[0].text, all);
    EXPECT_EQ(parsed(write(object)).members[0].key, std::string("k\0ey", 4));
}

// Plain runs are scanned eight bytes at a time and long strings in pieces: a byte to escape
// must be found wherever it falls in a word, right after another, and across a piece's end.
TEST(JsonWriteString, EscapesAreFoundAtEveryPositionOfLongStrings) {
    auto escapedByte = [](unsigned char c) -> std::string {
        if (c == '"') return "\\\"";
        if (c == '\\') return "\\\\";
        if (c == '\t') return "\\t";
        if (c == '\n') return "\\n";
        if (c == '\r') return "\\r";
        if (c < 0x20) {
            static const char hex[] = "0123456789abcdef";
            return std::string("\\u00") + hex[c >> 4] + hex[c & 0xF];
        }
        return std::string(1, static_cast<char>(c));
    };
    for (const unsigned char special : {'"', '\\', '\n', '\0', '\x1f', ' ', '\x7f', '\x80', '\xff'}) {
        for (std::size_t at = 0; at < 20; ++at) {
            std::string text(20, 'a');
            text[at] = static_cast<char>(special);
            if (at + 1 < text.size()) text[at + 1] = static_cast<char>(special);  // two in a row
            std::string expected = "\"";
            for (const char c : text) expected += escapedByte(static_cast<unsigned char>(c));
            expected += '"';
            ASSERT_EQ(writeString(text), expected) << int{special} << " at " << at;
        }
    }
    std::string longText;
    std::string expected = "\"";
    for (std::size_t i = 0; i < 20000; ++i) {
        // Escapes cluster around multiples of 4096 and are sparse elsewhere.
        const bool nearPieceEnd = i % 4096 < 3 || i % 4096 > 4093;
        const auto c =
            static_cast<unsigned char>(nearPieceEnd ? "\"\n\x01"[i % 3] : (i % 97 == 0 ? '\\' : 'a' + i % 26));
        longText.push_back(static_cast<char>(c));
        expected += escapedByte(c);
    }
    expected += '"';
    EXPECT_EQ(writeString(longText), expected);
    EXPECT_EQ(parsed(expected).text, longText);
}

TEST(JsonWriteCompact, NoWhitespaceAndMembersInInsertionOrder) {
    Value value = Value::object();
    value.set("z", Value(1));
    value.set("a", fromBool(true));
    value.set("m", Value::array()).push(Value());
    value.set("e", Value::object());
    value.set("a", Value("x"));  // replaces in place
    EXPECT_EQ(write(value), R"({"z":1,"a":"x","m":[null],"e":{}})");
    EXPECT_EQ(write(parsed(" { \"b\" : [ 1 , 2 ] , \"a\" : { } } ")), R"({"b":[1,2],"a":{}})");
    EXPECT_EQ(write(Value()), "null");
    EXPECT_EQ(write(fromBool(false)), "false");
}

TEST(JsonWriteIndented, LayoutOfNestedContainers) {
    Value value = Value::object();
    Value& list = value.set("a", Value::array());
    list.push(Value(1));
    list.push(Value::object());
    EXPECT_EQ(writeIndented(value), "{\n  \"a\": [\n    1,\n    {}\n  ]\n}\n");
    EXPECT_EQ(writeIndented(Value::array()), "[]\n");
    EXPECT_EQ(writeIndented(Value("s")), "\"s\"\n");
    EXPECT_EQ(
        writeIndented(parsed(R"({"x":{"y":[[],[true]]},"z":null})")),
        "{\n  \"x\": {\n    \"y\": [\n      [],\n      [\n        true\n      ]\n    ]\n  },\n  \"z\": null\n}\n");
}

TEST(JsonWriteIndented, ReadsBackToTheSameCompactText) {
    const char* text = R"({"k":[1.50,"a\nb",{"n":-0,"e":[]},false],"s":"\u0001"})";
    const Value value = parsed(text);
    EXPECT_EQ(write(parsed(writeIndented(value))), write(value));
}

}  // namespace
}  // namespace tarn::json
