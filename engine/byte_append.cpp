// Big- and little-endian fields, MIDI variable-length quantities and four-character tags.
#include "engine/byte_append.h"

namespace tarn {
namespace {

std::uint8_t byteAt(std::uint32_t value, int index) {
    return index < 4 ? static_cast<std::uint8_t>(value >> (8 * index)) : 0;
}

}  // namespace

void putBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) bytes.push_back(byteAt(value, i));
}

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(byteAt(value, i));
}

void putVarLen(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    int groups = 1;
    while (groups < 5 && (value >> (7 * groups)) != 0) ++groups;
    for (int g = groups - 1; g > 0; --g) {
        bytes.push_back(static_cast<std::uint8_t>(0x80u | ((value >> (7 * g)) & 0x7Fu)));
    }
    bytes.push_back(static_cast<std::uint8_t>(value & 0x7Fu));
}

void putTag(std::vector<std::uint8_t>& bytes, const char tag[4]) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace tarn
