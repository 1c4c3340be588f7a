// Listing one folder's subfolders or regular files without ever throwing: odd entries become problems.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace tarn {

enum class EntryKind { Folder, RegularFile };

// A path met while listing that could not be listed or examined, with the system's reason.
struct ListingProblem {
    std::filesystem::path path;
    std::error_code error;
};

struct FolderListing {
    bool opened = false;                       // the folder itself could be opened for listing
    std::vector<std::filesystem::path> paths;  // the entries of the wanted kind
    std::vector<ListingProblem> problems;      // in the order met
};

// The entries of `folder` of the given kind (links followed), those whose file name `wanted`
// accepts (all when it is empty), sorted by path when `sorted`, else in the order the folder
// yields them. A folder that does not exist lists as empty with no problem; a folder that cannot
// be opened otherwise, an entry whose kind cannot be examined (a link loop, a dangling link, an
// entry that vanished) and a listing that breaks off midway each add a problem, and the listing
// keeps what it has.
FolderListing listFolder(const std::filesystem::path& folder, EntryKind kind,
                         const std::function<bool(const std::filesystem::path&)>& wanted, bool sorted);

// The path as UTF-8 text for messages.
std::string pathText(const std::filesystem::path& path);

// The system's text for an error, for messages ("No such file or directory").
std::string systemText(const std::error_code& error);

}  // namespace tarn
