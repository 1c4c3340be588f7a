// The zip writer: local headers and data, then the central directory and the end record.
#include "documents/zip/crc32.h"
#include "documents/zip/deflate.h"
#include "documents/zip/zip.h"
#include "documents/zip/zip_format.h"

#include <unordered_set>

namespace tarn::zip {
namespace {

// Everything both headers of one entry carry.
struct HeaderFields {
    std::uint16_t method;
    std::uint32_t crc;
    std::uint32_t storedSize;
    std::uint32_t size;
    std::uint16_t nameLength;
};

// The fields from "version needed" to "extra field length", common to both header kinds.
void putCommon(std::vector<std::uint8_t>& out, const HeaderFields& f) {
    put16(out, kVersion);
    put16(out, kUtf8NamesFlag);
    put16(out, f.method);
    put16(out, 0); // time
    put16(out, kDate1980);
    put32(out, f.crc);
    put32(out, f.storedSize);
    put32(out, f.size);
    put16(out, f.nameLength);
    put16(out, 0); // extra field length
}

constexpr std::uint64_t kLimit = 0xFFFFFFFF; // every size and offset stays below this

} // namespace

std::optional<std::vector<std::uint8_t>> write(const std::vector<Entry>& entries, IssueList& issues) {
    if (entries.size() >= 65535) {
        addError(issues, "zip-too-large", "", "Too many entries for a zip without Zip64");
        return std::nullopt;
    }
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> directory;
    std::unordered_set<std::string> written;
    for (const Entry& entry : entries) {
        const std::string pointer = "/" + entry.name;
        if (!isSafeName(entry.name)) {
            addError(issues, "zip-unsafe-name", pointer, "Unsafe entry name");
            return std::nullopt;
        }
        if (!written.insert(entry.name).second) {
            addError(issues, "zip-duplicate-name", pointer, "Two entries share a name");
            return std::nullopt;
        }
        // Checked before compressing so an oversized entry costs no work.
        if (entry.data.size() >= kLimit) {
            addError(issues, "zip-too-large", pointer, "Too large for a zip without Zip64");
            return std::nullopt;
        }
        std::vector<std::uint8_t> packed;
        if (entry.compress) packed = deflate::compress(entry.data.data(), entry.data.size());
        const bool deflated = entry.compress && packed.size() < entry.data.size();
        const std::vector<std::uint8_t>& stored = deflated ? packed : entry.data;

        // The offset of this header, and the end of its data (where the next one starts).
        const std::uint64_t offset = out.size();
        const std::uint64_t entryEnd = offset + kLocalHeaderBytes + entry.name.size() + stored.size();
        if (offset >= kLimit || entryEnd >= kLimit) {
            addError(issues, "zip-too-large", pointer, "Too large for a zip without Zip64");
            return std::nullopt;
        }
        const HeaderFields fields{deflated ? kMethodDeflated : kMethodStored,
                                  crc32(entry.data.data(), entry.data.size()), std::uint32_t(stored.size()),
                                  std::uint32_t(entry.data.size()), std::uint16_t(entry.name.size())};

        put32(out, kLocalSignature);
        putCommon(out, fields);
        out.insert(out.end(), entry.name.begin(), entry.name.end());
        out.insert(out.end(), stored.begin(), stored.end());

        put32(directory, kCentralSignature);
        put16(directory, kVersion); // made by
        putCommon(directory, fields);
        put16(directory, 0); // comment length
        put16(directory, 0); // disk number start
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, std::uint32_t(offset));
        directory.insert(directory.end(), entry.name.begin(), entry.name.end());
    }

    const std::uint64_t directoryOffset = out.size();
    if (directoryOffset + directory.size() >= kLimit) {
        addError(issues, "zip-too-large", "", "Too large for a zip without Zip64");
        return std::nullopt;
    }
    out.insert(out.end(), directory.begin(), directory.end());
    put32(out, kEndSignature);
    put16(out, 0); // this disk
    put16(out, 0); // disk where the directory starts
    put16(out, std::uint32_t(entries.size()));
    put16(out, std::uint32_t(entries.size()));
    put32(out, std::uint32_t(directory.size()));
    put32(out, std::uint32_t(directoryOffset));
    put16(out, 0); // comment length
    return out;
}

} // namespace tarn::zip
