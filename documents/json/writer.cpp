// The JSON writers, appending into one output string.
#include "documents/json/writer.h"

#include "documents/json/number.h"

#include <cmath>
#include <cstddef>

namespace tarn::json {
namespace {

void appendNumber(std::string& out, const Value& value) {
    if (!value.numberText.empty() && numberTextMatches(value.numberText, value.number)) {
        out += value.numberText;
    } else if (!std::isfinite(value.number)) {
        out += "null";
    } else {
        appendShortest(out, value.number);
    }
}

void appendString(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    out.push_back('"');
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end) {
        // Copy the run of bytes that need no escape in one go.
        const char* run = p;
        while (p != end && static_cast<unsigned char>(*p) >= 0x20 && *p != '"' && *p != '\\') ++p;
        out.append(run, p);
        if (p == end) break;
        const char c = *p++;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default:
            out += "\\u00";
            out.push_back(hex[(c >> 4) & 0xF]);
            out.push_back(hex[c & 0xF]);
            break;
        }
    }
    out.push_back('"');
}

// Scalars are written the same way by both writers.
bool appendScalar(std::string& out, const Value& value) {
    switch (value.kind) {
    case Kind::Null: out += "null"; return true;
    case Kind::Bool: out += value.flag ? "true" : "false"; return true;
    case Kind::Number: appendNumber(out, value); return true;
    case Kind::String: appendString(out, value.text); return true;
    case Kind::Array:
    case Kind::Object: return false;
    }
    // A kind outside the enumeration (set in memory) is written as null: the writers never fail.
    out += "null";
    return true;
}

void appendCompact(std::string& out, const Value& value) {
    if (appendScalar(out, value)) return;
    if (value.kind == Kind::Array) {
        out.push_back('[');
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            if (i != 0) out.push_back(',');
            appendCompact(out, value.items[i]);
        }
        out.push_back(']');
        return;
    }
    out.push_back('{');
    for (std::size_t i = 0; i < value.members.size(); ++i) {
        if (i != 0) out.push_back(',');
        appendString(out, value.members[i].key);
        out.push_back(':');
        appendCompact(out, value.members[i].value);
    }
    out.push_back('}');
}

void appendIndented(std::string& out, const Value& value, std::size_t depth) {
    if (appendScalar(out, value)) return;
    const bool isArray = value.kind == Kind::Array;
    const std::size_t count = isArray ? value.items.size() : value.members.size();
    if (count == 0) {
        out += isArray ? "[]" : "{}";
        return;
    }
    out += isArray ? "[\n" : "{\n";
    for (std::size_t i = 0; i < count; ++i) {
        out.append(2 * (depth + 1), ' ');
        if (isArray) {
            appendIndented(out, value.items[i], depth + 1);
        } else {
            appendString(out, value.members[i].key);
            out += ": ";
            appendIndented(out, value.members[i].value, depth + 1);
        }
        out += i + 1 < count ? ",\n" : "\n";
    }
    out.append(2 * depth, ' ');
    out.push_back(isArray ? ']' : '}');
}

}  // namespace

std::string write(const Value& value) {
    std::string out;
    appendCompact(out, value);
    return out;
}

std::string writeIndented(const Value& value) {
    std::string out;
    appendIndented(out, value, 0);
    out.push_back('\n');
    return out;
}

std::string writeNumber(const Value& value) {
    std::string out;
    appendNumber(out, value);
    return out;
}

std::string writeString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    appendString(out, text);
    return out;
}

}  // namespace tarn::json
