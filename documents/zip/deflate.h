// Raw DEFLATE (RFC 1951) as zip stores it: a bounded decoder and a one-block fixed-Huffman encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarn::deflate {

// Decodes one raw stream up to and including its final block and appends the bytes to
// `output`. The stream may produce at most `expectedSize` bytes; it need not reach it (the
// caller compares). Back-references reach only bytes this stream produced. On failure
// returns false with a short reason in `error`; `output` then holds what was decoded so
// far. Never reads past `length` source bytes and never reserves more than the stream could
// expand to, whatever `expectedSize` claims.
bool inflate(const std::uint8_t* source, std::size_t length, std::uint64_t expectedSize,
             std::vector<std::uint8_t>& output, std::string& error);

// One raw stream: a single final fixed-Huffman block with hash-chain LZ77 matching.
std::vector<std::uint8_t> compress(const std::uint8_t* bytes, std::size_t length);

} // namespace tarn::deflate
