// Name limits asked of the system, and cutting UTF-8 text between characters.
#include "engine/file_names.h"

#include <unistd.h>

namespace tarn {

std::size_t fileNameLimit(const std::filesystem::path& folder) {
    std::filesystem::path at = folder.empty() ? std::filesystem::path(".") : folder;
    for (;;) {
        const long limit = ::pathconf(at.c_str(), _PC_NAME_MAX);
        if (limit > 0) return static_cast<std::size_t>(limit);
        const std::filesystem::path up = at.parent_path();
        if (up.empty() || up == at) break;
        at = up;
    }
    return 255;
}

std::string cutAtCharacter(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    // A continuation byte (10xxxxxx) belongs to the character begun before it: at most three of them.
    std::size_t end = bytes;
    const auto continues = [&](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
    while (end > 0 && bytes - end < 3 && continues(end)) --end;
    return text.substr(0, continues(end) ? bytes : end);
}

}  // namespace tarn
