// Zip archives without Zip64 or encryption, entries stored or deflated: a defensive reader and a deterministic writer.
#pragma once

#include "documents/issue.h"
#include "documents/package_limits.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarn::zip {

struct Entry {
    std::string name;               // as stored, UTF-8, "/" between folders
    std::vector<std::uint8_t> data; // uncompressed bytes
    bool compress = false;          // writing: try DEFLATE; read: the entry was stored deflated
};

// At least four bytes starting with a local header or an end record (an empty archive).
bool looksLikeZip(const std::vector<std::uint8_t>& bytes);

// A name that stays inside the archive: 1..65535 bytes, not absolute, no backslash, no drive
// letter, no ".." component, no control characters.
bool isSafeName(const std::string& name);

// One entry as the central directory describes it, with every size and offset widened to 64
// bits. Its `size` is authoritative: unpacking never produces more.
struct DirectoryEntry {
    std::string name;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint64_t storedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localOffset = 0;
};

// The central directory after every archive-level check, `limits` included, with nothing
// unpacked yet; none (with an Error) when the archive as a whole is unusable or asks for more
// than `limits` allow.
std::optional<std::vector<DirectoryEntry>> readDirectory(const std::vector<std::uint8_t>& bytes, IssueList& issues,
                                                         const PackageLimits& limits);

// The usable entries of a directory read from the same bytes, in its order, with a Warning for
// each one skipped.
std::vector<Entry> unpack(const std::vector<std::uint8_t>& bytes, const std::vector<DirectoryEntry>& directory,
                          IssueList& issues);

// readDirectory, then unpack.
std::optional<std::vector<Entry>> read(const std::vector<std::uint8_t>& bytes, IssueList& issues,
                                       const PackageLimits& limits);

// A minimal archive: no timestamps, extra fields or comments, so equal entries give equal
// bytes. None (with an Error) when an entry cannot be written.
std::optional<std::vector<std::uint8_t>> write(const std::vector<Entry>& entries, IssueList& issues);

} // namespace tarn::zip
