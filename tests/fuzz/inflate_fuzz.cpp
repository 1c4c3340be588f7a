// Fuzzes the DEFLATE decoder with zlib as the oracle (same verdict, same bytes) and the encoder by round trip.
#include "documents/zip/deflate.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// zlib's raw inflate into at most `limit` bytes; false on failure or when it would produce more.
bool zlibInflate(const std::uint8_t* data, std::size_t size, std::size_t limit, std::vector<std::uint8_t>& out) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) std::abort();
    out.assign(limit + 1, 0);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(size);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int rc = ::inflate(&z, Z_FINISH);
    const std::size_t produced = out.size() - z.avail_out;
    inflateEnd(&z);
    out.resize(produced);
    return rc == Z_STREAM_END && produced <= limit;
}

} // namespace

// Input: two bytes of declared size (in units of 16 bytes, so up to about 1 MiB), then the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t expected = (std::size_t(data[0]) | std::size_t(data[1]) << 8) * 16;
    const std::uint8_t* stream = data + 2;
    const std::size_t length = size - 2;

    std::vector<std::uint8_t> ours;
    std::string error;
    const bool ok = tarn::deflate::inflate(stream, length, expected, ours, error);
    std::vector<std::uint8_t> theirs;
    const bool zlibOk = zlibInflate(stream, length, expected, theirs);
    if (ok != zlibOk) std::abort();
    if (ok && ours != theirs) std::abort();
    if (!ok && error.empty()) std::abort();
    if (ours.size() > expected) std::abort();

    // The encoder must give back what it was given, through both decoders.
    const std::vector<std::uint8_t> packed = tarn::deflate::compress(stream, length);
    std::vector<std::uint8_t> unpacked;
    if (!tarn::deflate::inflate(packed.data(), packed.size(), length, unpacked, error)) std::abort();
    if (unpacked != std::vector<std::uint8_t>(stream, stream + length)) std::abort();
    if (!zlibInflate(packed.data(), packed.size(), length, theirs) || theirs != unpacked) std::abort();
    return 0;
}
