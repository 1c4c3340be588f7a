// The small text formats that documents share: spec versions, extension ids, asset references and seeds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

struct SpecVersion {
    std::int32_t major = 1;
    std::int32_t minor = 0;
};

// The version this system writes and fully knows: 1.0.
SpecVersion currentSpecVersion();

// Major, ".", minor in decimal ("1.0").
std::string specVersionText(const SpecVersion& version);

// Two decimal integers joined by one point, nothing else. Our own decision: a version that
// carries a minus sign anywhere ("-0.5") is unreadable, even where the digits name zero.
std::optional<SpecVersion> parseSpecVersion(std::string_view text);

// An extension a document uses: a reverse-domain name and a major version of at least 1.
struct ExtensionId {
    std::string id;
    std::int32_t major = 1;
};

// Split at the last "/": a non-empty id, then a complete decimal integer of at least 1.
std::optional<ExtensionId> parseExtensionId(std::string_view text);

// The id, "/", the major in decimal.
std::string extensionIdText(const ExtensionId& id);

enum class AssetKind : std::uint32_t { Factory = 0, Asset = 1 };

// A reference to an asset: a factory name, or the SHA-256 of an asset stored in the package.
struct AssetRef {
    AssetKind kind = AssetKind::Factory;
    std::string name;
};

// "factory:" and a non-empty name, or "asset:" and exactly 64 lower-case hexadecimal digits.
std::optional<AssetRef> parseAssetRef(std::string_view text);

// The text form that parseAssetRef reads back.
std::string assetRefText(const AssetRef& ref);

// Seeds are written as 16 lower-case hexadecimal digits, most significant first.
std::string seedToHex(std::uint64_t seed);

// Exactly 16 hexadecimal digits of either case; no sign, prefix or blank.
std::optional<std::uint64_t> parseSeed(std::string_view text);

// A complete decimal integer: an optional minus sign and digits, nothing else, within the
// signed 32-bit range.
std::optional<std::int32_t> parseDecimalInt32(std::string_view text);

}  // namespace tarn
