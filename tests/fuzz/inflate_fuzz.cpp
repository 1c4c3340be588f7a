// Fuzzes the DEFLATE decoder with zlib as the oracle (same verdict, same bytes) and the encoder by round trip.
#include "documents/zip/deflate.h"
#include "tests/documents/zlib_oracle.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// Input: two bytes of declared size (in units of 16 bytes, so up to about 1 MiB), then the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t expected = (std::size_t(data[0]) | std::size_t(data[1]) << 8) * 16;
    const std::uint8_t* stream = data + 2;
    const std::size_t length = size - 2;

    std::vector<std::uint8_t> ours;
    std::string error;
    const bool ok = tarn::deflate::inflate(stream, length, expected, ours, error);
    const auto theirs = tarn::testing::zlibInflate(stream, length, expected);
    if (ok != theirs.has_value()) std::abort();
    if (ok && ours != *theirs) std::abort();
    if (!ok && error.empty()) std::abort();
    if (ours.size() > expected) std::abort();

    // The encoder must give back what it was given, through both decoders.
    const std::vector<std::uint8_t> packed = tarn::deflate::compress(stream, length);
    std::vector<std::uint8_t> unpacked;
    if (!tarn::deflate::inflate(packed.data(), packed.size(), length, unpacked, error)) std::abort();
    if (unpacked != std::vector<std::uint8_t>(stream, stream + length)) std::abort();
    if (tarn::testing::zlibInflate(packed.data(), packed.size(), length) != unpacked) std::abort();
    return 0;
}
