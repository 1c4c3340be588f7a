// Helpers for the zip tests: archives written by our writer, then damaged at known fields.
#pragma once

#include "documents/zip/zip.h"
#include "tests/documents/codec_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace tarn::testing {

inline zip::Entry entry(const std::string& name, const std::string& data, bool compress = false) {
    return zip::Entry{name, Bytes(data.begin(), data.end()), compress};
}

inline Bytes archiveOf(const std::vector<zip::Entry>& entries) {
    IssueList issues;
    auto bytes = zip::write(entries, issues);
    EXPECT_TRUE(bytes.has_value());
    EXPECT_TRUE(issues.empty());
    return bytes.value_or(Bytes{});
}

inline std::uint32_t get32(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
inline std::uint16_t get16(const Bytes& b, std::size_t at) { return std::uint16_t(b[at] | b[at + 1] << 8); }
inline void set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + std::size_t(k)] = std::uint8_t(v >> (8 * k));
}
inline void set16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

// Where the fields of an archive without a comment stand.
inline std::size_t endRecord(const Bytes& b) { return b.size() - 22; }
// The central-directory header of entry i (entries written by our writer: no extra, no comment).
inline std::size_t centralHeader(const Bytes& b, int i) {
    std::size_t at = get32(b, endRecord(b) + 16);
    for (int k = 0; k < i; ++k) at += 46 + get16(b, at + 28);
    return at;
}

// Renames an entry in both of its headers; the new name must have the same length.
inline void rename(Bytes& b, const std::string& from, const std::string& to) {
    ASSERT_EQ(from.size(), to.size());
    int replaced = 0;
    for (auto it = b.begin(); (it = std::search(it, b.end(), from.begin(), from.end())) != b.end(); ++replaced)
        std::copy(to.begin(), to.end(), it);
    ASSERT_EQ(replaced, 2);
}

struct ReadResult {
    std::optional<std::vector<zip::Entry>> entries;
    IssueList issues;
};

inline ReadResult readArchive(const Bytes& bytes, const PackageLimits& limits = {}) {
    ReadResult r;
    r.entries = zip::read(bytes, r.issues, limits);
    return r;
}

} // namespace tarn::testing
