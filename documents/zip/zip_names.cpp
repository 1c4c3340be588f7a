// Which entry names stay inside the archive, and which bytes look like an archive at all.
#include "documents/zip/zip.h"
#include "documents/zip/zip_format.h"

namespace tarn::zip {

bool looksLikeZip(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 4) return false;
    const std::uint32_t first = read32(bytes.data());
    return first == kLocalSignature || first == kEndSignature;
}

bool isSafeName(const std::string& name) {
    if (name.empty() || name.size() > 65535) return false;
    if (name[0] == '/') return false;
    if (name.size() >= 2 && name[1] == ':') return false;
    std::size_t componentStart = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == '/') {
            if (i - componentStart == 2 && name[componentStart] == '.' && name[componentStart + 1] == '.') return false;
            componentStart = i + 1;
            continue;
        }
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == '\\' || c < 32) return false;
    }
    return true;
}

} // namespace tarn::zip
