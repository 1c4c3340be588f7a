// Zip bombs made on the spot, and what reading one costs in resident memory and time.
#pragma once

#include "documents/zip/zip_format.h"

#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace tarn::testing {

// One deflated entry of `mebibytes` MiB of spaces, about a thousandth of that in size. zlib
// compresses one MiB ending in a full flush, which forgets the history, so every further MiB
// compresses to the same bytes: the stream is that piece repeated, then an empty final block.
inline std::vector<std::uint8_t> zipBomb(const std::string& name, unsigned mebibytes) {
    const std::vector<std::uint8_t> mebibyte(1 << 20, ' ');
    std::vector<std::uint8_t> piece(1 << 20), end(64);
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_RLE);
    z.next_in = const_cast<Bytef*>(mebibyte.data());
    z.avail_in = uInt(mebibyte.size());
    z.next_out = piece.data();
    z.avail_out = uInt(piece.size());
    deflate(&z, Z_FULL_FLUSH);
    piece.resize(piece.size() - z.avail_out);
    z.next_out = end.data();
    z.avail_out = uInt(end.size());
    deflate(&z, Z_FINISH);
    end.resize(end.size() - z.avail_out);
    deflateEnd(&z);

    const uLong pieceCrc = ::crc32(0, mebibyte.data(), uInt(mebibyte.size()));
    uLong crc = 0;
    std::vector<std::uint8_t> stream;
    for (unsigned i = 0; i < mebibytes; ++i) {
        stream.insert(stream.end(), piece.begin(), piece.end());
        crc = crc32_combine(crc, pieceCrc, z_off_t(mebibyte.size()));
    }
    stream.insert(stream.end(), end.begin(), end.end());

    // A local header, the data, one central-directory header and the end record.
    const auto size = std::uint32_t(std::uint64_t(mebibytes) << 20);
    std::vector<std::uint8_t> zip;
    auto sizesAndName = [&](bool central) {
        for (std::uint32_t v : {std::uint32_t(zip::kVersion), 0u, std::uint32_t(zip::kMethodDeflated), 0u, 0u})
            zip::put16(zip, v); // version needed, flags, method, time, date
        zip::put32(zip, std::uint32_t(crc));
        zip::put32(zip, std::uint32_t(stream.size()));
        zip::put32(zip, size);
        zip::put16(zip, std::uint32_t(name.size()));
        zip::put16(zip, 0); // extra field
        if (central)
            for (std::uint32_t v : {0u, 0u, 0u, 0u, 0u, 0u, 0u}) zip::put16(zip, v); // comment ... local offset
    };
    zip::put32(zip, zip::kLocalSignature);
    sizesAndName(false);
    zip.insert(zip.end(), name.begin(), name.end());
    zip.insert(zip.end(), stream.begin(), stream.end());
    const auto directoryOffset = std::uint32_t(zip.size());
    zip::put32(zip, zip::kCentralSignature);
    zip::put16(zip, zip::kVersion);
    sizesAndName(true);
    zip.insert(zip.end(), name.begin(), name.end());
    const auto directorySize = std::uint32_t(zip.size() - directoryOffset);
    zip::put32(zip, zip::kEndSignature);
    for (std::uint32_t v : {0u, 0u, 1u, 1u}) zip::put16(zip, v); // disks, entries here and in all
    zip::put32(zip, directorySize);
    zip::put32(zip, directoryOffset);
    zip::put16(zip, 0); // comment
    return zip;
}

// The process's resident set now and at its peak since the last reset, in bytes.
inline std::uint64_t residentKibibytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == field + ":") {
            std::uint64_t kib = 0;
            status >> kib;
            return kib;
        }
    return 0;
}

struct Cost {
    std::uint64_t residentGrowthBytes = 0; // the peak during the call over the resident set before it
    double seconds = 0;
};

// Resets the kernel's peak mark (/proc/self/clear_refs, "5") so the peak is the call's own.
template <typename Call>
Cost costOf(Call call) {
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::uint64_t before = residentKibibytes("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    call();
    Cost cost;
    cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::uint64_t peak = residentKibibytes("VmHWM");
    cost.residentGrowthBytes = peak > before ? (peak - before) * 1024 : 0;
    return cost;
}

} // namespace tarn::testing
