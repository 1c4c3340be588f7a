// Packages: one JSON document alone as text, or a zip archive of the document and its SHA-256-named assets.
#pragma once

#include "documents/issue.h"
#include "documents/json/value.h"
#include "documents/package_limits.h"
#include "documents/zip/zip.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// The largest document text a package may hold: 64 MiB, whether it is the JSON file itself or
// the document entry of an archive. Real presets are kilobytes; parsing a document builds a
// tree several times the text's size, so without this cap one small zip bomb in the preset
// folder would exhaust memory at every start-up. A larger document is an Error for its file
// ("document-too-large") and is not parsed. Asset sizes are bounded by the caller's limits.
inline constexpr std::size_t kMaxDocumentBytes = std::size_t{64} * 1024 * 1024;

struct Package {
    std::string documentName;         // the archive entry that holds the document ("instance.json")
    json::Value document;
    std::vector<zip::Entry> assets;   // `name` is the 64 lower-case hex digits of the data's SHA-256
    std::vector<zip::Entry> files;    // every other archive entry, as read, in archive order
};

// Skips a leading UTF-8 byte-order mark and parses the rest. None, with the Error
// "document-unreadable" at `pointer`, for text that is not JSON, and with "document-too-large"
// for text over kMaxDocumentBytes.
std::optional<json::Value> parseDocumentText(const std::vector<std::uint8_t>& bytes, const std::string& pointer,
                                             IssueList& issues);

// A zip archive, or JSON text whose first byte after a byte-order mark and blanks is "{".
// Assets whose data does not match their name are left out with a Warning. None (with an
// Error) when neither form can be read or the archive has no document. A document entry whose
// declared size passes kMaxDocumentBytes is refused before anything is inflated.
std::optional<Package> readPackage(const std::vector<std::uint8_t>& bytes, const std::string& documentName,
                                   IssueList& issues, const PackageLimits& limits);

// The document's indented JSON text alone when there are no assets and no files (and the
// document is an object, as every document of this system is); otherwise a zip archive: the document first (compressed when smaller), the assets stored in name order,
// then the files. None (with an Error) when an asset is not named by a SHA-256 or the archive
// cannot be written.
std::optional<std::vector<std::uint8_t>> writePackage(const Package& package, IssueList& issues);

// Exactly 64 characters, each 0 to 9 or a to f.
bool isSha256Name(std::string_view text);

}  // namespace tarn
