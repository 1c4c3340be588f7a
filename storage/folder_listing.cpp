// Folder listing over std::filesystem's non-throwing overloads.
#include "storage/folder_listing.h"

#include <algorithm>

namespace tarn {

FolderListing listFolder(const std::filesystem::path& folder, EntryKind kind,
                         const std::function<bool(const std::filesystem::path&)>& wanted, bool sorted) {
    namespace fs = std::filesystem;
    FolderListing listing;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        if (error != std::errc::no_such_file_or_directory) listing.problems.push_back({folder, error});
        return listing;
    }
    listing.opened = true;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        const fs::path& path = it->path();
        if (wanted && !wanted(path.filename())) continue;
        std::error_code statusError;
        const fs::file_status status = it->status(statusError);
        if (statusError) {
            listing.problems.push_back({path, statusError});
            continue;
        }
        const bool match = kind == EntryKind::Folder ? fs::is_directory(status) : fs::is_regular_file(status);
        if (match) listing.paths.push_back(path);
    }
    if (error) listing.problems.push_back({folder, error});
    if (sorted) std::sort(listing.paths.begin(), listing.paths.end());
    return listing;
}

std::string pathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string systemText(const std::error_code& error) {
    return error.message();
}

}  // namespace tarn
