// JSON pointers (RFC 6901) that readers put on their load issues.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarn {

// "~" becomes "~0" and "/" becomes "~1"; every other byte is kept.
std::string escapePointerToken(std::string_view text);

// The pointer of member `key` of the value at `path`: path, "/", the escaped key.
std::string pointerJoin(std::string_view path, std::string_view key);

// The pointer of entry `index` of the array at `path`: path, "/", the index in decimal.
std::string indexPointer(std::string_view path, std::size_t index);

}  // namespace tarn
