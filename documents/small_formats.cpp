// Reading and writing the small texts of documents: the "spec" version, extension ids, asset references, seeds.
#include "documents/small_formats.h"

#include <charconv>
#include <system_error>

namespace tarn {
namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isLowerHex(std::string_view text) {
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace

std::optional<std::int32_t> parseDecimalInt32(std::string_view text) {
    // from_chars takes exactly this grammar for integers: an optional minus sign (never a plus)
    // and digits, and reports values beyond the type's range.
    std::int32_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value, 10);
    if (error != std::errc() || end != last || text.empty()) return std::nullopt;
    return value;
}

SpecVersion currentSpecVersion() {
    return SpecVersion{1, 0};
}

std::string specVersionText(const SpecVersion& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor);
}

std::optional<SpecVersion> parseSpecVersion(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || text.find('-') != std::string_view::npos) return std::nullopt;
    const auto major = parseDecimalInt32(text.substr(0, point));
    const auto minor = parseDecimalInt32(text.substr(point + 1));  // a second point fails here
    if (!major || !minor || *major < 0 || *minor < 0) return std::nullopt;
    return SpecVersion{*major, *minor};
}

std::optional<ExtensionId> parseExtensionId(std::string_view text) {
    const std::size_t slash = text.rfind('/');
    if (slash == std::string_view::npos || slash == 0) return std::nullopt;
    const auto major = parseDecimalInt32(text.substr(slash + 1));
    if (!major || *major < 1) return std::nullopt;
    return ExtensionId{std::string(text.substr(0, slash)), *major};
}

std::string extensionIdText(const ExtensionId& id) {
    return id.id + "/" + std::to_string(id.major);
}

std::optional<AssetRef> parseAssetRef(std::string_view text) {
    constexpr std::string_view factory = "factory:";
    constexpr std::string_view asset = "asset:";
    if (text.substr(0, factory.size()) == factory && text.size() > factory.size())
        return AssetRef{AssetKind::Factory, std::string(text.substr(factory.size()))};
    if (text.substr(0, asset.size()) == asset) {
        const std::string_view hash = text.substr(asset.size());
        if (hash.size() == 64 && isLowerHex(hash)) return AssetRef{AssetKind::Asset, std::string(hash)};
    }
    return std::nullopt;
}

std::string assetRefText(const AssetRef& ref) {
    return (ref.kind == AssetKind::Asset ? "asset:" : "factory:") + ref.name;
}

std::string seedToHex(std::uint64_t seed) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = digits[seed & 0xF];
        seed >>= 4;
    }
    return out;
}

std::optional<std::uint64_t> parseSeed(std::string_view text) {
    if (text.size() != 16) return std::nullopt;
    std::uint64_t seed = 0;
    for (const char c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0) return std::nullopt;
        seed = (seed << 4) | static_cast<std::uint64_t>(digit);
    }
    return seed;
}

}  // namespace tarn
