// Record signatures, fixed header sizes and little-endian field access shared by the zip reader and writer.
#pragma once

#include <cstdint>
#include <vector>

namespace tarn::zip {

inline constexpr std::uint32_t kLocalSignature = 0x04034B50;
inline constexpr std::uint32_t kCentralSignature = 0x02014B50;
inline constexpr std::uint32_t kEndSignature = 0x06054B50;
// The Zip64 end locator, which stands right before the end record of a Zip64 archive.
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
inline constexpr std::uint64_t kZip64LocatorBytes = 20;

inline constexpr std::uint64_t kLocalHeaderBytes = 30;
inline constexpr std::uint64_t kCentralHeaderBytes = 46;
inline constexpr std::uint64_t kEndRecordBytes = 22;
inline constexpr std::uint64_t kMaxCommentBytes = 65535;

inline constexpr std::uint16_t kVersion = 20;
inline constexpr std::uint16_t kUtf8NamesFlag = 0x0800;
inline constexpr std::uint16_t kEncryptedFlag = 0x0001;
inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;
inline constexpr std::uint16_t kDate1980 = 0x0021; // 1 January 1980, the earliest DOS date

// The value a 32-bit field holds when the real one lives in a Zip64 record.
inline constexpr std::uint32_t kZip64Marker = 0xFFFFFFFF;

inline std::uint16_t read16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t read32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
inline void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

} // namespace tarn::zip
