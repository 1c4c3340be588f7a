// The JSON reader: one recursive pass over the text, depth-limited, stopping at the first error.
#include "documents/json/reader.h"

#include "documents/json/key_table.h"
#include "documents/json/number.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include <sys/mman.h>

namespace tarn::json {
namespace {

// Objects up to this size are checked for duplicate keys by scanning the members read so
// far; larger ones switch to a hash table so the check never grows with the square of the size.
constexpr std::size_t kLinearKeyCheck = 16;

// Lists from this length on grow fourfold (see growLarge).
constexpr std::size_t kLargeList = 4096;

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

class Reader {
public:
    explicit Reader(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

    bool document(Value& out, std::string& error) {
        skipSpace();
        if (p_ == end_) return fail(error, "empty document");
        if (!value(out)) return fail(error, message_.empty() ? "parse error" : message_);
        skipSpace();
        if (p_ != end_) return fail(error, "unexpected content after the document");
        return true;
    }

private:
    const char* p_;
    const char* end_;
    int depth_ = 0;
    std::string message_;

    static bool fail(std::string& error, std::string message) {
        error = std::move(message);
        return false;
    }

    bool error(const char* message) {
        message_ = message;
        return false;
    }

    void skipSpace() {
        while (p_ != end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r')) ++p_;
    }

    bool startsWith(const char* word, std::size_t length) const {
        return static_cast<std::size_t>(end_ - p_) >= length && std::memcmp(p_, word, length) == 0;
    }

    bool value(Value& out) {
        skipSpace();
        if (p_ == end_) return error("invalid number");
        switch (*p_) {
        case '"':
            out.kind = Kind::String;
            return string(out.text);
        case '[':
        case '{': {
            if (++depth_ > kMaxDepth) return error("document nested too deep");
            const bool ok = *p_ == '[' ? array(out) : object(out);
            --depth_;
            return ok;
        }
        case 't':
        case 'f':
            // The character after a literal is left to the caller to judge.
            if (startsWith("true", 4)) {
                out.kind = Kind::Bool;
                out.flag = true;
                p_ += 4;
                return true;
            }
            if (startsWith("false", 5)) {
                out.kind = Kind::Bool;
                out.flag = false;
                p_ += 5;
                return true;
            }
            return error("invalid literal");
        case 'n':
            if (startsWith("null", 4)) {
                out.kind = Kind::Null;
                p_ += 4;
                return true;
            }
            return error("invalid literal");
        default:
            if (*p_ == '-' || (*p_ >= '0' && *p_ <= '9')) return number(out);
            return error("invalid number");
        }
    }

    bool number(Value& out) {
        double converted = 0.0;
        const std::size_t used = readNumberPrefix(std::string_view(p_, static_cast<std::size_t>(end_ - p_)), converted);
        if (used == 0) return error("invalid number");
        out.kind = Kind::Number;
        out.number = converted;
        out.numberText.assign(p_, used);
        p_ += used;
        return true;
    }

    // Large arrays and objects grow fourfold instead of twofold: every regrowth of a big
    // vector moves it into freshly mapped memory, and the first touch of those pages, not the
    // moves, is the main cost of reading a long list. Capacity beyond the end is never touched.
    // `estimate`, when larger, is taken instead, so a list whose length is known roughly
    // never regrows at all.
    template <typename T>
    static void growLarge(std::vector<T>& list, std::size_t estimate = 0) {
        if (list.size() != list.capacity() || list.size() < kLargeList) return;
        list.reserve(std::max(list.size() * 4, estimate));
        adviseHugePages(list.data() + list.size(), (list.capacity() - list.size()) * sizeof(T));
    }

    // A value is 128 bytes, so a list of a million numbers faults in over 100 MB page by
    // page; asking for huge pages on the untouched part of such a list makes those faults
    // 512 times rarer where the system grants them on request. Advice only: nothing changes
    // where it is refused.
    static void adviseHugePages([[maybe_unused]] void* start, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
        constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
        if (bytes < 2 * kHuge) return;
        const auto first = (reinterpret_cast<std::uintptr_t>(start) + kHuge - 1) & ~(kHuge - 1);
        const auto last = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(kHuge - 1);
        if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
    }

    // The number of items the outermost array will probably hold, judged from the bytes per
    // item so far and the text left, with an eighth to spare; 0 for any other list, whose
    // end the text left does not tell.
    std::size_t estimateItems(const char* listStart, std::size_t count) const {
        if (depth_ != 1 || count < kLargeList) return 0;
        const auto used = static_cast<std::size_t>(p_ - listStart);
        const auto left = static_cast<std::size_t>(end_ - p_);
        const std::size_t more = static_cast<std::size_t>(static_cast<double>(left) / static_cast<double>(used) *
                                                          static_cast<double>(count));
        // Every further item takes at least two bytes (a digit and a comma).
        return count + std::min(more + more / 8, left / 2 + 1);
    }

    bool array(Value& out) {
        out.kind = Kind::Array;
        const char* start = p_;
        ++p_;
        skipSpace();
        if (p_ != end_ && *p_ == ']') {
            ++p_;
            return true;
        }
        for (;;) {
            if (out.items.size() == out.items.capacity() && out.items.size() >= kLargeList)
                growLarge(out.items, estimateItems(start, out.items.size()));
            out.items.emplace_back();
            if (!value(out.items.back())) return false;
            skipSpace();
            if (p_ != end_ && *p_ == ',') {
                ++p_;
                continue;
            }
            if (p_ != end_ && *p_ == ']') {
                ++p_;
                return true;
            }
            return error("expected ',' or ']'");
        }
    }

    bool object(Value& out) {
        out.kind = Kind::Object;
        ++p_;
        skipSpace();
        if (p_ != end_ && *p_ == '}') {
            ++p_;
            return true;
        }
        std::vector<Member>& members = out.members;
        KeyTable seen;
        for (;;) {
            skipSpace();
            if (p_ == end_ || *p_ != '"') return error("expected key");
            // The key is read straight into a new member; a duplicate found below leaves it
            // in the partly built tree, which the caller discards with the error.
            growLarge(members);
            members.emplace_back();
            const std::size_t index = members.size() - 1;
            if (!string(members[index].key)) return false;
            skipSpace();
            if (p_ == end_ || *p_ != ':') return error("expected ':'");
            ++p_;
            if (isDuplicate(members, seen, index)) {
                message_ = "duplicate key " + quoteForMessage(members[index].key);
                return false;
            }
            if (!value(members[index].value)) return false;
            skipSpace();
            if (p_ != end_ && *p_ == ',') {
                ++p_;
                continue;
            }
            if (p_ != end_ && *p_ == '}') {
                ++p_;
                return true;
            }
            return error("expected ',' or '}'");
        }
    }

    static bool isDuplicate(const std::vector<Member>& members, KeyTable& seen, std::size_t index) {
        if (index < kLinearKeyCheck) {
            for (std::size_t i = 0; i < index; ++i)
                if (members[i].key == members[index].key) return true;
            return false;
        }
        if (index == kLinearKeyCheck)
            for (std::size_t i = 0; i < index; ++i) seen.insert(members, i);
        return !seen.insert(members, index);
    }

    bool string(std::string& out) {
        ++p_;
        for (;;) {
            // Copy the run of plain bytes in one go; control bytes and bytes of 128 and above
            // are taken unchanged.
            const char* run = p_;
            while (p_ != end_ && *p_ != '"' && *p_ != '\\') ++p_;
            out.append(run, p_);
            if (p_ == end_) return error("unterminated string");
            if (*p_ == '"') {
                ++p_;
                return true;
            }
            ++p_;  // the backslash
            if (p_ == end_) return error("unterminated string");
            const char escaped = *p_++;
            switch (escaped) {
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u':
                if (!unicodeEscape(out)) return false;
                break;
            default:
                // Quote, slash and backslash stand for themselves, and so, leniently, does
                // any other escaped character (backslash q reads as q).
                out.push_back(escaped);
                break;
            }
        }
    }

    bool hexQuad(std::uint32_t& code) {
        if (end_ - p_ < 4) return error("truncated \\u escape");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            if (!isHexDigit(p_[i])) return error("bad \\u escape");
            code = code * 16 + static_cast<std::uint32_t>(hexValue(p_[i]));
        }
        p_ += 4;
        return true;
    }

    bool unicodeEscape(std::string& out) {
        std::uint32_t code = 0;
        if (!hexQuad(code)) return false;
        if (code >= 0xD800 && code < 0xDC00 && end_ - p_ >= 2 && p_[0] == '\\' && p_[1] == 'u') {
            p_ += 2;
            std::uint32_t low = 0;
            if (!hexQuad(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return error("unpaired surrogate");
            code = 0x10000 + (code - 0xD800) * 1024 + (low - 0xDC00);
        }
        // A lone surrogate is kept as its own three-byte sequence, as written.
        appendUtf8(out, code);
        return true;
    }
};

}  // namespace

bool parse(std::string_view text, Value& out, std::string& error) {
    out = Value();
    Reader reader(text);
    return reader.document(out, error);
}

std::string quoteForMessage(std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            quoted += "\\u00";
            quoted.push_back(hex[byte >> 4]);
            quoted.push_back(hex[byte & 0xF]);
        } else {
            quoted.push_back(c);
        }
    }
    quoted.push_back('"');
    return quoted;
}

}  // namespace tarn::json
