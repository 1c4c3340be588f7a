// The zip reader: finds the directory, enforces the caller's limits, then unpacks and checks each entry.
#include "documents/zip/crc32.h"
#include "documents/zip/deflate.h"
#include "documents/zip/zip.h"
#include "documents/zip/zip_format.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace tarn::zip {
namespace {

std::string entryPointer(const std::string& name) { return "/" + name; }

// The end record: the last position where the signature stands and the comment length
// reaches exactly to the end of the bytes.
std::optional<std::uint64_t> findEndRecord(const std::vector<std::uint8_t>& bytes) {
    const std::uint64_t size = bytes.size();
    const std::uint64_t lowest = size > kEndRecordBytes + kMaxCommentBytes ? size - kEndRecordBytes - kMaxCommentBytes : 0;
    for (std::uint64_t p = size - kEndRecordBytes + 1; p-- > lowest;) {
        const std::uint8_t* at = bytes.data() + p;
        if (read32(at) == kEndSignature && p + kEndRecordBytes + read16(at + 20) == size) return p;
    }
    return std::nullopt;
}

// The entry's bytes, or none with a Warning saying why it was skipped.
std::optional<std::vector<std::uint8_t>> unpackEntry(const std::vector<std::uint8_t>& bytes, const DirectoryEntry& e,
                                                     IssueList& issues) {
    const std::string pointer = entryPointer(e.name);
    const std::uint64_t size = bytes.size();
    if (e.localOffset > size || size - e.localOffset < kLocalHeaderBytes ||
        read32(bytes.data() + e.localOffset) != kLocalSignature) {
        addWarning(issues, "zip-damaged-entry", pointer, "The entry's header is damaged; skipped");
        return std::nullopt;
    }
    // The local header's own name and extra lengths place the data; its sizes are not used.
    const std::uint8_t* local = bytes.data() + e.localOffset;
    const std::uint64_t dataStart = e.localOffset + kLocalHeaderBytes + read16(local + 26) + read16(local + 28);
    if (dataStart > size || size - dataStart < e.storedSize) {
        addWarning(issues, "zip-damaged-entry", pointer, "The entry runs past the archive; skipped");
        return std::nullopt;
    }
    const std::uint8_t* stored = bytes.data() + dataStart;

    std::vector<std::uint8_t> data;
    if (e.method == kMethodDeflated) {
        std::string error;
        const bool ok = deflate::inflate(stored, std::size_t(e.storedSize), e.size, data, error);
        if (!ok || data.size() != e.size) {
            addWarning(issues, "zip-damaged-entry", pointer,
                       "Cannot decompress: " + (ok || error.empty() ? std::string("wrong size") : error) + "; skipped");
            return std::nullopt;
        }
    } else {
        if (e.storedSize != e.size) {
            addWarning(issues, "zip-damaged-entry", pointer, "Stored sizes disagree; skipped");
            return std::nullopt;
        }
        data.assign(stored, stored + e.storedSize);
    }
    if (crc32(data.data(), data.size()) != e.crc) {
        addWarning(issues, "zip-checksum", pointer, "Checksum mismatch; skipped");
        return std::nullopt;
    }
    return data;
}

} // namespace

// Walks the whole directory and checks every archive-level rule before any entry is
// unpacked, so an archive that will be refused costs no inflating at all.
std::optional<std::vector<DirectoryEntry>> readDirectory(const std::vector<std::uint8_t>& bytes, IssueList& issues,
                                                         const PackageLimits& limits) {
    if (bytes.size() < kEndRecordBytes) {
        addError(issues, "zip-unreadable", "", "Too short to be a zip archive");
        return std::nullopt;
    }
    const auto end = findEndRecord(bytes);
    if (!end) {
        addError(issues, "zip-unreadable", "", "No end-of-archive record");
        return std::nullopt;
    }
    const std::uint8_t* record = bytes.data() + *end;
    const std::uint16_t disk = read16(record + 4);
    const std::uint16_t directoryDisk = read16(record + 6);
    const std::uint16_t entriesHere = read16(record + 8);
    const std::uint16_t entryCount = read16(record + 10);
    const std::uint32_t directorySize = read32(record + 12);
    const std::uint32_t directoryOffset = read32(record + 16);
    if (disk != 0 || directoryDisk != 0 || entriesHere != entryCount) {
        addError(issues, "zip-unsupported", "", "Archives split over several files are not supported");
        return std::nullopt;
    }
    if (entryCount == 0xFFFF || directorySize == kZip64Marker || directoryOffset == kZip64Marker) {
        addError(issues, "zip-unsupported", "", "Zip64 archives are not supported");
        return std::nullopt;
    }
    if (entryCount > limits.maxEntries) {
        addError(issues, "zip-too-large", "", "More entries than allowed (" + std::to_string(limits.maxEntries) + ")");
        return std::nullopt;
    }
    const std::uint64_t directoryEnd = std::uint64_t(directoryOffset) + directorySize;
    if (directoryEnd > *end) {
        addError(issues, "zip-unreadable", "", "Central directory out of bounds");
        return std::nullopt;
    }

    std::vector<DirectoryEntry> entries;
    entries.reserve(entryCount);
    std::uint64_t at = directoryOffset;
    std::uint64_t total = 0;
    for (unsigned i = 0; i < entryCount; ++i) {
        // The previous header's extra field and comment may have carried `at` past the end.
        if (at > directoryEnd || directoryEnd - at < kCentralHeaderBytes ||
            read32(bytes.data() + at) != kCentralSignature ||
            directoryEnd - at - kCentralHeaderBytes < read16(bytes.data() + at + 28)) {
            addError(issues, "zip-unreadable", "", "Damaged central directory");
            return std::nullopt;
        }
        const std::uint8_t* h = bytes.data() + at;
        DirectoryEntry e;
        e.flags = read16(h + 8);
        e.method = read16(h + 10);
        e.crc = read32(h + 16);
        const std::uint32_t stored = read32(h + 20);
        const std::uint32_t size = read32(h + 24);
        const std::uint16_t nameLength = read16(h + 28);
        const std::uint16_t extraLength = read16(h + 30);
        const std::uint16_t commentLength = read16(h + 32);
        const std::uint32_t localOffset = read32(h + 42);
        e.name.assign(reinterpret_cast<const char*>(h + kCentralHeaderBytes), nameLength);
        e.storedSize = stored;
        e.size = size;
        e.localOffset = localOffset;
        at += kCentralHeaderBytes + nameLength + extraLength + commentLength;

        if (stored == kZip64Marker || size == kZip64Marker || localOffset == kZip64Marker) {
            addError(issues, "zip-unsupported", entryPointer(e.name), "Zip64 entries are not supported");
            return std::nullopt;
        }
        total += e.size; // at most 65534 x (2^32 - 2): cannot wrap 64 bits
        if (e.size > limits.maxEntrySize || total > limits.maxTotalSize) {
            addError(issues, "zip-too-large", entryPointer(e.name), "The archive unpacks to more than allowed");
            return std::nullopt;
        }
        entries.push_back(std::move(e));
    }
    // Deliberately stricter than walking the counted headers alone: an archive of 65536 or
    // more entries keeps only the count modulo 65536 in its end record (the true count lives
    // in a Zip64 record), so a further header in the directory means entries would be lost
    // without a word. Refuse instead of reading a part as if it were the whole.
    if (at <= directoryEnd && directoryEnd - at >= 4 && read32(bytes.data() + at) == kCentralSignature) {
        if (*end >= kZip64LocatorBytes && read32(bytes.data() + *end - kZip64LocatorBytes) == kZip64LocatorSignature)
            addError(issues, "zip-unsupported", "", "Zip64 archives are not supported");
        else
            addError(issues, "zip-unreadable", "", "Damaged central directory");
        return std::nullopt;
    }
    return entries;
}

std::vector<Entry> unpack(const std::vector<std::uint8_t>& bytes, const std::vector<DirectoryEntry>& directory,
                          IssueList& issues) {
    std::vector<Entry> entries;
    std::unordered_set<std::string_view> seen;
    for (const DirectoryEntry& e : directory) {
        const std::string pointer = entryPointer(e.name);
        if (!e.name.empty() && e.name.back() == '/') continue; // a folder
        if (!isSafeName(e.name)) {
            addWarning(issues, "zip-unsafe-name", pointer, "The entry name leaves the archive; skipped");
            continue;
        }
        if (!seen.insert(e.name).second) {
            addWarning(issues, "zip-duplicate-name", pointer, "A second entry of the same name; skipped");
            continue;
        }
        if (e.flags & kEncryptedFlag) {
            addWarning(issues, "zip-encrypted", pointer, "Encrypted entries are not supported; skipped");
            continue;
        }
        if (e.method != kMethodStored && e.method != kMethodDeflated) {
            addWarning(issues, "zip-method", pointer, "Entries are stored or deflated; skipped");
            continue;
        }
        auto data = unpackEntry(bytes, e, issues);
        if (!data) continue;
        entries.push_back(Entry{e.name, std::move(*data), e.method == kMethodDeflated});
    }
    return entries;
}

std::optional<std::vector<Entry>> read(const std::vector<std::uint8_t>& bytes, IssueList& issues,
                                       const PackageLimits& limits) {
    const auto directory = readDirectory(bytes, issues, limits);
    if (!directory) return std::nullopt;
    return unpack(bytes, *directory, issues);
}

} // namespace tarn::zip
