// Replacing a file's contents so that a crash or a failed write leaves either the old or the new file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace tarn {

// Which part of a replace failed. Up to Rename the target is untouched; at SyncFolder the new
// contents are already in place but may not survive a power loss.
enum class ReplaceStep {
    Temporary,   // the temporary file could not be created, written, flushed to disk or closed
    Rename,      // the temporary file could not be renamed over the target, or the folder moved meanwhile
    SyncFolder,  // the folder could not be flushed after the rename
};

struct ReplaceFailure {
    ReplaceStep step = ReplaceStep::Temporary;
    std::error_code error;
};

// Writes a file's contents into an open file: 0, or the errno of the failure. Lets a writer stream
// contents too large to hold in memory.
using FileContents = std::function<int(int fd)>;

// Writes all of bytes to an open file, retrying short writes; 0, or the errno of the failure.
int writeWhole(int fd, const std::uint8_t* bytes, std::size_t size);
int writeWhole(int fd, const std::vector<std::uint8_t>& bytes);

// Writes bytes to a temporary file named `temporaryName` in the target's folder, checks every write,
// fsyncs and closes it, renames it over `target` and fsyncs the folder. With `permissions` (mode bits)
// the new file gets them, so a replaced file keeps what its owner gave it. A stale file, link or pipe
// of the temporary's name is removed first, and the temporary file is created exclusively so a link
// planted there is never followed. The folder is held open throughout: whatever becomes of it
// meanwhile, the temporary file is reached, and on any failure before the rename removed, through
// the folder itself. A folder moved away meanwhile is not written into (WriteFailure::folderMoved),
// one removed fails as gone (ENOENT), and a target name longer than the folder takes fails
// (ENAMETOOLONG) before anything is written. No value means the replace is complete and durable.
std::optional<ReplaceFailure> replaceFileDurably(const std::filesystem::path& target, const std::string& temporaryName,
                                                 const std::vector<std::uint8_t>& bytes,
                                                 std::optional<unsigned> permissions = std::nullopt);
std::optional<ReplaceFailure> replaceFileDurablyWith(const std::filesystem::path& target,
                                                     const std::string& temporaryName, const FileContents& write,
                                                     std::optional<unsigned> permissions = std::nullopt);

}  // namespace tarn
