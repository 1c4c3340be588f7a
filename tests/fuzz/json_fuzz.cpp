// Fuzz target for the JSON reader: what parses must write back to a fixed point, and every error is a known message.
#include "documents/json/number.h"
#include "documents/json/reader.h"
#include "documents/json/writer.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool isKnownMessage(const std::string& error) {
    static const char* const messages[] = {
        "empty document", "unexpected content after the document", "parse error", "document nested too deep",
        "invalid literal", "invalid number", "expected ',' or ']'", "expected key", "expected ':'",
        "expected ',' or '}'", "unterminated string", "truncated \\u escape", "bad \\u escape",
        "unpaired surrogate"};
    for (const char* message : messages)
        if (error == message) return true;
    // The quoted key may hold anything but raw control bytes, which would break the line.
    const std::string_view prefix = "duplicate key \"";
    if (error.size() < prefix.size() + 1 || error.compare(0, prefix.size(), prefix) != 0 || error.back() != '"')
        return false;
    for (const char c : error)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "json_fuzz: %s: %s\n", what, detail.c_str());
    std::abort();
}

// The writer keeps a number's text only while the standard conversion of the whole text
// gives the number (or, for a number that is exactly a float, the same float). Each text read
// is judged against its own number and both neighbouring doubles.
void checkNumberTexts(const tarn::json::Value& value) {
    using tarn::json::Kind;
    if (value.kind == Kind::Number && !value.numberText.empty()) {
        const std::string& text = value.numberText;
        double read = 0.0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
        const bool whole = error == std::errc() && end == text.data() + text.size();
        for (const double number : {value.number, std::nextafter(value.number, -INFINITY),
                                    std::nextafter(value.number, INFINITY)}) {
            const auto narrowed = static_cast<float>(number);
            const bool expected = whole && (read == number || (static_cast<double>(narrowed) == number &&
                                                               static_cast<float>(read) == narrowed));
            if (tarn::json::numberTextMatches(text, number) != expected) fail("kept text judged wrongly", text);
        }
    }
    for (const tarn::json::Value& item : value.items) checkNumberTexts(item);
    for (const tarn::json::Member& member : value.members) checkNumberTexts(member.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarn::json::Value value;
    std::string error;
    if (!tarn::json::parse(text, value, error)) {
        if (!isKnownMessage(error)) fail("unknown error message", error);
        return 0;
    }
    checkNumberTexts(value);
    const std::string written = tarn::json::write(value);
    tarn::json::Value again;
    if (!tarn::json::parse(written, again, error)) fail("written text does not parse", error + ": " + written);
    if (tarn::json::write(again) != written) fail("second write differs", written);
    const std::string indented = tarn::json::writeIndented(value);
    if (!tarn::json::parse(indented, again, error)) fail("indented text does not parse", error);
    if (tarn::json::write(again) != written) fail("indented text reads back differently", indented);
    return 0;
}
