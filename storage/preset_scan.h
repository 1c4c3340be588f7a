// The folder scan of a plugin's preset banks, and the reading of one preset file as an instance package.
#pragma once

#include "documents/issue.h"
#include "documents/json/value.h"
#include "documents/package.h"
#include "documents/package_limits.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarn {

// What a preset file may unpack to when the folder scan reads it: the document (at most
// kMaxDocumentBytes) and a few wavetables or short samples as assets. 16 MiB holds about 45 s
// of 48 kHz stereo float audio, far more than a bass sound needs, while a file past it (a zip
// bomb, or an archive of something else) is refused from its directory without unpacking.
// Other readers of packages keep the general limits.
inline constexpr std::uint64_t kPresetAssetAllowance = std::uint64_t{16} * 1024 * 1024;
inline constexpr PackageLimits kPresetScanLimits{10000, kMaxDocumentBytes + kPresetAssetAllowance,
                                                 kMaxDocumentBytes + kPresetAssetAllowance};

// One preset file met by the folder scan.
struct PresetFile {
    std::string key;   // prefix ":" bank "/" id, for example user:sub/deep-sub
    std::string bank;  // the bank folder's name, UTF-8
    std::string id;    // the document's "id"
    json::Value meta;  // the document's "meta", Null when absent
    std::filesystem::path path;
};

// A file or folder the scan met and left out, and why. The reason never names the file ("has no
// id"), so whoever reports it joins the two one way for every kind.
struct SkippedPresetFile {
    std::string id;  // "preset-unreadable", "preset-duplicate", or "preset-folder-unreadable" for a folder
    std::filesystem::path path;
    std::string reason;
};

// A file the scan reads: its extension is exactly ".json", ".tarn" or ".zip".
bool isPresetFileName(const std::filesystem::path& name);

// The file as a package, read within kPresetScanLimits, whose document is an instance with an
// id. None when the file cannot be read, is not a package, is not an instance or has no id;
// `reason` then says so in a few words ("has no id"). The package reader's own issues are appended to `issues`.
std::optional<Package> readInstanceFile(const std::filesystem::path& path, IssueList& issues, std::string& reason);

// The preset files of every bank (folder) directly inside `pluginFolder`, banks and files in path
// order. Unreadable files, later files repeating an earlier id, and folders or entries that cannot
// be listed or examined are left out, each added to `skipped` in the order met; nothing here throws.
std::vector<PresetFile> scanPresetFolder(const std::filesystem::path& pluginFolder, const std::string& prefix,
                                         std::vector<SkippedPresetFile>& skipped);

}  // namespace tarn
