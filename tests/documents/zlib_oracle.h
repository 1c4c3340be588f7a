// zlib as the reference codec for raw DEFLATE (window bits -15) in the differential tests.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace tarn::testing {

// zlib's raw inflate of a whole stream into at most `limit` bytes; none on any failure or
// when the stream would produce more.
inline std::optional<std::vector<std::uint8_t>> zlibInflate(const std::uint8_t* data, std::size_t size, std::size_t limit) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return std::nullopt;
    std::vector<std::uint8_t> out(limit + 1);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(size);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int rc = ::inflate(&z, Z_FINISH);
    const std::size_t produced = out.size() - z.avail_out;
    inflateEnd(&z);
    if (rc != Z_STREAM_END || produced > limit) return std::nullopt;
    out.resize(produced);
    return out;
}

inline std::vector<std::uint8_t> zlibDeflate(const std::vector<std::uint8_t>& data, int level, int strategy) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy);
    std::vector<std::uint8_t> out(deflateBound(&z, uLong(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(data.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    ::deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return out;
}

} // namespace tarn::testing
