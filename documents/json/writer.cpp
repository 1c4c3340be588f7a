// The JSON writers, appending into one output string.
#include "documents/json/writer.h"

#include "documents/json/number.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarn::json {
namespace {

// The text being written. A document writes as many small pieces, so the string is grown
// ahead of need and written through a pointer; each piece asks for the room it may take and
// the unused end is cut off once the document is done.
class Output {
public:
    Output() : at_(text_.data()), end_(text_.data()) {}
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Room for `bytes` more characters; the pointer returned is where they go.
    char* room(std::size_t bytes) {
        if (static_cast<std::size_t>(end_ - at_) < bytes) grow(bytes);
        return at_;
    }
    void advance(char* to) { at_ = to; }

    void put(char c) {
        *room(1) = c;
        ++at_;
    }
    void put(const char* text, std::size_t length) {
        char* to = room(length);
        std::memcpy(to, text, length);
        at_ = to + length;
    }
    void fill(char c, std::size_t count) {
        char* to = room(count);
        std::memset(to, c, count);
        at_ = to + count;
    }

    std::string finish() {
        text_.resize(static_cast<std::size_t>(at_ - text_.data()));
        return std::move(text_);
    }

private:
    std::string text_;
    char* at_;
    char* end_;

    void grow(std::size_t bytes) {
        const std::size_t used = static_cast<std::size_t>(at_ - text_.data());
        text_.resize(std::max({2 * text_.size(), used + bytes, std::size_t{256}}));
        at_ = text_.data() + used;
        end_ = text_.data() + text_.size();
    }
};

// Room asked for beyond a piece, so that eight bytes can be stored where fewer are meant.
constexpr std::size_t kSlack = 16;

// Copies a short piece with two overlapping fixed-size moves instead of a call.
void copyShort(char* to, const char* from, std::size_t length) {
    if (length >= 16) {
        if (length > 32) {
            std::memcpy(to, from, length);
            return;
        }
        std::memcpy(to, from, 16);
        std::memcpy(to + length - 16, from + length - 16, 16);
    } else if (length >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + length - 8, from + length - 8, 8);
    } else if (length >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + length - 4, from + length - 4, 4);
    } else {
        for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
    }
}

void appendNumber(Output& out, const Value& value) {
    const std::string& text = value.numberText;
    if (!text.empty() && numberTextMatches(text, value.number)) {
        char* to = out.room(text.size());
        copyShort(to, text.data(), text.size());
        out.advance(to + text.size());
    } else if (!std::isfinite(value.number)) {
        out.put("null", 4);
    } else {
        out.advance(writeShortest(out.room(kShortestLength), value.number));
    }
}

// The position of the first byte among eight that a string must escape (a quote, a
// backslash or a byte below 32), or 8 for none.
int firstToEscape(std::uint64_t word) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highs = 0x8080808080808080ull;
    // A byte becomes zero exactly where it equals the one looked for; a zero byte and a byte
    // below 32 both wrap when a small number is taken away, and only a byte that had its high
    // bit clear is counted. Carries can mark bytes after the first found, never before it.
    const std::uint64_t quotes = word ^ (ones * '"');
    const std::uint64_t backslashes = word ^ (ones * '\\');
    const std::uint64_t found =
        ((quotes - ones) & ~quotes) | ((backslashes - ones) & ~backslashes) | ((word - ones * 0x20) & ~word);
    const std::uint64_t marked = found & highs;
    return marked == 0 ? 8 : std::countr_zero(marked) / 8;
}

// Writes a piece of a string's bytes with their escapes.
void appendEscaped(Output& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    // Every byte takes at most six characters (\u00xx).
    char* to = out.room(6 * text.size() + kSlack);
    const char* p = text.data();
    const char* end = p + text.size();
    for (;;) {
        // Runs that need no escape are copied eight bytes at a time.
        if constexpr (std::endian::native == std::endian::little) {
            while (end - p >= 8) {
                std::uint64_t word = 0;
                std::memcpy(&word, p, sizeof word);
                std::memcpy(to, &word, sizeof word);
                const int plain = firstToEscape(word);
                p += plain;
                to += plain;
                if (plain < 8) break;
            }
        }
        while (p != end && static_cast<unsigned char>(*p) >= 0x20 && *p != '"' && *p != '\\') *to++ = *p++;
        if (p == end) break;
        const char c = *p++;
        *to++ = '\\';
        switch (c) {
            case '"':
                *to++ = '"';
                break;
            case '\\':
                *to++ = '\\';
                break;
            case '\t':
                *to++ = 't';
                break;
            case '\n':
                *to++ = 'n';
                break;
            case '\r':
                *to++ = 'r';
                break;
            default:
                std::memcpy(to, "u00", 3);
                to[3] = hex[(c >> 4) & 0xF];
                to[4] = hex[c & 0xF];
                to += 5;
                break;
        }
    }
    out.advance(to);
}

void appendString(Output& out, std::string_view text) {
    // A long string is escaped piece by piece, so the room asked for never exceeds a small
    // multiple of the piece.
    constexpr std::size_t kPiece = 4096;
    out.put('"');
    for (std::size_t start = 0; start < text.size(); start += kPiece) appendEscaped(out, text.substr(start, kPiece));
    out.put('"');
}

// Scalars are written the same way by both writers.
bool appendScalar(Output& out, const Value& value) {
    switch (value.kind) {
        case Kind::Null:
            out.put("null", 4);
            return true;
        case Kind::Bool:
            value.flag ? out.put("true", 4) : out.put("false", 5);
            return true;
        case Kind::Number:
            appendNumber(out, value);
            return true;
        case Kind::String:
            appendString(out, value.text);
            return true;
        case Kind::Array:
        case Kind::Object:
            return false;
    }
    // A kind outside the enumeration (set in memory) is written as null: the writers never fail.
    out.put("null", 4);
    return true;
}

void appendCompact(Output& out, const Value& value) {
    if (appendScalar(out, value)) return;
    if (value.kind == Kind::Array) {
        out.put('[');
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            if (i != 0) out.put(',');
            // Long lists are mostly numbers: they skip the dispatch.
            const Value& item = value.items[i];
            if (item.kind == Kind::Number)
                appendNumber(out, item);
            else
                appendCompact(out, item);
        }
        out.put(']');
        return;
    }
    out.put('{');
    for (std::size_t i = 0; i < value.members.size(); ++i) {
        if (i != 0) out.put(',');
        appendString(out, value.members[i].key);
        out.put(':');
        appendCompact(out, value.members[i].value);
    }
    out.put('}');
}

void appendIndented(Output& out, const Value& value, std::size_t depth) {
    if (appendScalar(out, value)) return;
    const bool isArray = value.kind == Kind::Array;
    const std::size_t count = isArray ? value.items.size() : value.members.size();
    if (count == 0) {
        out.put(isArray ? "[]" : "{}", 2);
        return;
    }
    out.put(isArray ? "[\n" : "{\n", 2);
    for (std::size_t i = 0; i < count; ++i) {
        out.fill(' ', 2 * (depth + 1));
        if (isArray) {
            appendIndented(out, value.items[i], depth + 1);
        } else {
            appendString(out, value.members[i].key);
            out.put(": ", 2);
            appendIndented(out, value.members[i].value, depth + 1);
        }
        if (i + 1 < count) out.put(',');
        out.put('\n');
    }
    out.fill(' ', 2 * depth);
    out.put(isArray ? ']' : '}');
}

}  // namespace

std::string write(const Value& value) {
    Output out;
    appendCompact(out, value);
    return out.finish();
}

std::string writeIndented(const Value& value) {
    Output out;
    appendIndented(out, value, 0);
    out.put('\n');
    return out.finish();
}

std::string writeNumber(const Value& value) {
    Output out;
    appendNumber(out, value);
    return out.finish();
}

std::string writeString(std::string_view text) {
    Output out;
    appendString(out, text);
    return out.finish();
}

}  // namespace tarn::json
