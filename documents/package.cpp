// Reading bytes into a package (JSON text or zip archive, assets checked against their names) and writing it back.
#include "documents/package.h"

#include "documents/json/reader.h"
#include "documents/json/writer.h"
#include "documents/sha256.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace tarn {
namespace {

constexpr std::string_view kAssetFolder = "assets/";

std::string_view textOf(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

// Only an opening brace after the mark and the JSON blanks marks a JSON document: a
// package is never an array or a bare value.
bool looksLikeJsonObject(std::string_view text) {
    text = withoutByteOrderMark(text);
    const std::size_t first = text.find_first_not_of(" \t\n\r");
    return first != std::string_view::npos && text[first] == '{';
}

void addTooLarge(IssueList& issues, std::string pointer, std::string_view verb) {
    addError(issues, "document-too-large", std::move(pointer),
             "The document is larger than 64 MiB; not " + std::string(verb));
}

}  // namespace

bool isSha256Name(std::string_view text) {
    return text.size() == 64 &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::optional<json::Value> parseDocumentText(const std::vector<std::uint8_t>& bytes, const std::string& pointer,
                                             IssueList& issues) {
    if (bytes.size() > kMaxDocumentBytes) {
        addTooLarge(issues, pointer, "read");
        return std::nullopt;
    }
    json::Value document;
    std::string error;
    if (!json::parse(withoutByteOrderMark(textOf(bytes)), document, error)) {
        addError(issues, "document-unreadable", pointer, "The document is not valid JSON: " + error);
        return std::nullopt;
    }
    return document;
}

std::optional<Package> readPackage(const std::vector<std::uint8_t>& bytes, const std::string& documentName,
                                   IssueList& issues, const PackageLimits& limits) {
    Package package;
    package.documentName = documentName;
    if (!zip::looksLikeZip(bytes)) {
        if (!looksLikeJsonObject(textOf(bytes))) {
            addError(issues, "package-unreadable", "", "Neither a JSON document nor a zip archive");
            return std::nullopt;
        }
        auto document = parseDocumentText(bytes, "", issues);
        if (!document) return std::nullopt;
        package.document = std::move(*document);
        return package;
    }

    const auto directory = zip::readDirectory(bytes, issues, limits);
    if (!directory) return std::nullopt;
    // The directory's size bounds what the document entry can unpack to (the zip reader
    // skips later entries of the same name), so an oversized document is refused before a
    // byte of the archive is inflated: a small bomb costs no memory.
    const auto documentEntry = std::find_if(directory->begin(), directory->end(),
                                            [&](const zip::DirectoryEntry& e) { return e.name == documentName; });
    if (documentEntry != directory->end() && documentEntry->size > kMaxDocumentBytes) {
        addTooLarge(issues, "/" + documentName, "read");
        return std::nullopt;
    }
    auto entries = zip::unpack(bytes, *directory, issues);
    // The zip reader already skips a second entry of any name; the checks below keep the first
    // document and the first asset of a name even so, so a package never holds two of either.
    bool haveDocument = false;
    std::unordered_set<std::string> assetNames;
    for (zip::Entry& entry : entries) {
        const std::string pointer = "/" + entry.name;
        if (entry.name == documentName) {
            if (haveDocument) continue;
            auto document = parseDocumentText(entry.data, pointer, issues);
            if (!document) return std::nullopt;
            package.document = std::move(*document);
            haveDocument = true;
            continue;
        }
        const std::string_view name(entry.name);
        if (name.starts_with(kAssetFolder) && isSha256Name(name.substr(kAssetFolder.size()))) {
            const std::string_view digest = name.substr(kAssetFolder.size());
            if (sha256Hex(entry.data.data(), entry.data.size()) != digest) {
                addWarning(issues, "asset-corrupt", pointer,
                           "The asset does not match its name; left out, the plugin falls back");
                continue;
            }
            if (!assetNames.insert(std::string(digest)).second) continue;
            package.assets.push_back(zip::Entry{std::string(digest), std::move(entry.data), entry.compress});
            continue;
        }
        package.files.push_back(std::move(entry));
    }
    if (!haveDocument) {
        addError(issues, "document-missing", "/" + documentName, "The archive has no " + documentName);
        return std::nullopt;
    }
    return package;
}

std::optional<std::vector<std::uint8_t>> writePackage(const Package& package, IssueList& issues) {
    std::string text = json::writeIndented(package.document);
    // Our own decision: a document that is not an object goes into an archive even alone, as
    // text it would not read back (only an opening brace marks a JSON package).
    const bool plain = package.assets.empty() && package.files.empty() && package.document.kind == json::Kind::Object;
    // Our own decision: a document too large to be read back is refused when writing too, so a
    // save fails visibly instead of leaving a file that no later start-up can open.
    if (text.size() > kMaxDocumentBytes) {
        addTooLarge(issues, plain ? std::string() : "/" + package.documentName, "written");
        return std::nullopt;
    }
    if (plain) return std::vector<std::uint8_t>(text.begin(), text.end());

    std::vector<const zip::Entry*> assets;
    assets.reserve(package.assets.size());
    for (const zip::Entry& asset : package.assets) {
        if (!isSha256Name(asset.name)) {
            addError(issues, "asset-name", "/" + asset.name, "An asset is named by the sha256 of its data");
            return std::nullopt;
        }
        assets.push_back(&asset);
    }
    std::stable_sort(assets.begin(), assets.end(),
                     [](const zip::Entry* a, const zip::Entry* b) { return a->name < b->name; });

    std::vector<zip::Entry> entries;
    entries.reserve(1 + assets.size() + package.files.size());
    entries.push_back(zip::Entry{package.documentName, std::vector<std::uint8_t>(text.begin(), text.end()), true});
    for (const zip::Entry* asset : assets)
        entries.push_back(zip::Entry{std::string(kAssetFolder) + asset->name, asset->data, false});
    for (const zip::Entry& file : package.files) entries.push_back(file);
    return zip::write(entries, issues);
}

}  // namespace tarn
