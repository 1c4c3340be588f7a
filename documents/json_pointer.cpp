// Building RFC 6901 pointers from a parent pointer and a member key or array position.
#include "documents/json_pointer.h"

namespace tarn {

std::string escapePointerToken(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '~')
            out += "~0";
        else if (c == '/')
            out += "~1";
        else
            out += c;
    }
    return out;
}

std::string pointerJoin(std::string_view path, std::string_view key) {
    std::string out(path);
    out += '/';
    out += escapePointerToken(key);
    return out;
}

std::string indexPointer(std::string_view path, std::size_t index) {
    std::string out(path);
    out += '/';
    out += std::to_string(index);
    return out;
}

}  // namespace tarn
