// Walking plugin/bank/file, reading each preset file's head and skipping repeats of an id.
#include "storage/preset_scan.h"

#include "storage/file_bytes.h"
#include "storage/folder_listing.h"

#include <unordered_set>

namespace tarn {
namespace {

void skipListed(std::vector<SkippedPresetFile>& skipped, const FolderListing& listing,
                const std::filesystem::path& folder) {
    for (const ListingProblem& problem : listing.problems) {
        if (problem.path == folder)
            skipped.push_back(
                {"preset-folder-unreadable", problem.path, "cannot be listed: " + systemText(problem.error)});
        else
            skipped.push_back({"preset-unreadable", problem.path, "cannot be examined: " + systemText(problem.error)});
    }
}

}  // namespace

bool isPresetFileName(const std::filesystem::path& name) {
    const std::filesystem::path extension = name.extension();
    return extension == ".json" || extension == ".tarn" || extension == ".zip";
}

std::optional<Package> readInstanceFile(const std::filesystem::path& path, IssueList& issues, std::string& reason) {
    std::error_code error;
    const std::optional<std::vector<std::uint8_t>> bytes = readFileBytes(path, error);
    if (!bytes) {
        // The system's reason is added: "cannot be opened" alone cannot tell a vanished file
        // from a link loop or a file too large to read.
        reason = "cannot be opened: " + systemText(error);
        return std::nullopt;
    }
    IssueList packageIssues;
    std::optional<Package> package = readPackage(*bytes, "instance.json", packageIssues, kPresetScanLimits);
    issues.insert(issues.end(), packageIssues.begin(), packageIssues.end());
    if (!package) {
        // The first issue, whatever its severity: a damaged document entry is skipped with a
        // Warning before the archive is found to have no document, and that names the damage.
        reason = packageIssues.empty() ? "is unreadable" : packageIssues.front().message;
        return std::nullopt;
    }
    if (json::stringOr(package->document, "kind", "") != "instance") {
        reason = "is not an instance document";
        return std::nullopt;
    }
    if (json::stringOr(package->document, "id", "").empty()) {
        reason = "has no id";
        return std::nullopt;
    }
    return package;
}

std::vector<PresetFile> scanPresetFolder(const std::filesystem::path& pluginFolder, const std::string& prefix,
                                         std::vector<SkippedPresetFile>& skipped) {
    std::vector<PresetFile> files;
    std::unordered_set<std::string> seenIds;
    const FolderListing banks = listFolder(pluginFolder, EntryKind::Folder, {}, true);
    skipListed(skipped, banks, pluginFolder);
    for (const std::filesystem::path& bankFolder : banks.paths) {
        const std::string bank = pathText(bankFolder.filename());
        const FolderListing listing = listFolder(bankFolder, EntryKind::RegularFile, isPresetFileName, true);
        skipListed(skipped, listing, bankFolder);
        for (const std::filesystem::path& path : listing.paths) {
            IssueList packageIssues;
            std::string reason;
            std::optional<Package> package = readInstanceFile(path, packageIssues, reason);
            if (!package) {
                skipped.push_back({"preset-unreadable", path, reason});
                continue;
            }
            std::string id = json::stringOr(package->document, "id", "");
            if (seenIds.count(id) != 0) {
                skipped.push_back(
                    {"preset-duplicate", path,
                     "repeats preset " + bank + "/" + id + "; the first file in name order is the preset"});
                continue;
            }
            seenIds.insert(id);
            PresetFile file;
            file.key = prefix + ":" + bank + "/" + id;
            file.bank = bank;
            file.id = std::move(id);
            if (json::Value* meta = package->document.find("meta")) file.meta = std::move(*meta);
            file.path = path;
            files.push_back(std::move(file));
        }
    }
    return files;
}

}  // namespace tarn
