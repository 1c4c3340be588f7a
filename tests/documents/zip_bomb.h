// Zip bombs made on the spot, and what reading one costs in resident memory and time.
#pragma once

#include "documents/zip/zip.h"
#include "documents/zip/zip_format.h"

#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace tarn::testing {

// One deflated entry of `mebibytes` MiB of spaces, about a thousandth of that in size, after the
// entries `before`. zlib compresses one MiB ending in a full flush, which forgets the history, so
// every further MiB compresses to the same bytes: the stream is that piece repeated, then an empty
// final block.
inline std::vector<std::uint8_t> zipBomb(const std::string& name, unsigned mebibytes,
                                         std::vector<zip::Entry> before = {}) {
    const std::vector<std::uint8_t> mebibyte(1 << 20, ' ');
    std::vector<std::uint8_t> piece(1 << 20), end(64);
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_RLE);
    z.next_in = const_cast<Bytef*>(mebibyte.data());
    z.avail_in = uInt(mebibyte.size());
    for (auto [out, flush] : {std::pair{&piece, Z_FULL_FLUSH}, std::pair{&end, Z_FINISH}}) {
        z.next_out = out->data();
        z.avail_out = uInt(out->size());
        deflate(&z, flush);
        out->erase(out->end() - std::ptrdiff_t(z.avail_out), out->end());
    }
    deflateEnd(&z);
    std::vector<std::uint8_t> stream;
    const uLong pieceCrc = ::crc32(0, mebibyte.data(), uInt(mebibyte.size()));
    uLong crc = 0;
    for (unsigned i = 0; i < mebibytes; ++i) {
        stream.insert(stream.end(), piece.begin(), piece.end());
        crc = crc32_combine(crc, pieceCrc, z_off_t(mebibyte.size()));
    }
    stream.insert(stream.end(), end.begin(), end.end());

    // Our writer's archive with the bomb as a last, empty stored entry, the stream put in as its
    // data. The writer adds no extra fields or comments, so the last central header ends where the
    // end record starts.
    IssueList issues;
    before.push_back(zip::Entry{name, {}, false});
    std::vector<std::uint8_t> zip = zip::write(before, issues).value();
    const std::size_t central = zip.size() - zip::kEndRecordBytes - zip::kCentralHeaderBytes - name.size();
    const std::size_t local = zip::read32(&zip[central + 42]); // the local header's offset
    zip.insert(zip.begin() + std::ptrdiff_t(local + zip::kLocalHeaderBytes + name.size()), stream.begin(), stream.end());
    auto set = [&zip](std::size_t at, std::uint32_t value, int bytes) {
        for (int k = 0; k < bytes; ++k) zip[at + std::size_t(k)] = std::uint8_t(value >> (8 * k));
    };
    const std::size_t endRecord = zip.size() - zip::kEndRecordBytes;
    set(endRecord + 16, zip::read32(&zip[endRecord + 16]) + std::uint32_t(stream.size()), 4);
    for (std::size_t header : {local, central + stream.size() + 2}) { // central fields stand 2 bytes later
        set(header + 8, zip::kMethodDeflated, 2);
        set(header + 14, std::uint32_t(crc), 4);
        set(header + 18, std::uint32_t(stream.size()), 4);
        set(header + 22, std::uint32_t(std::uint64_t(mebibytes) << 20), 4);
    }
    return zip;
}

// A field of /proc/self/status in KiB: VmRSS now, VmHWM the peak since the last reset.
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
