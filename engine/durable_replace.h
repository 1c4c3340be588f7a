// Replacing a file's contents so that a crash or a failed write leaves either the old or the new file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>
#include <vector>

namespace tarn {

// Which part of a replace failed. Up to Rename the target is untouched; at SyncFolder the new
// contents are already in place but may not survive a power loss.
enum class ReplaceStep {
    Temporary,   // the temporary file could not be created, written, flushed to disk or closed
    Rename,      // the temporary file could not be renamed over the target
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

// Writes bytes to `temporary` (a path in the target's folder), checks every write, fsyncs and
// closes it, renames it over `target` and fsyncs the folder. With `permissions` (mode bits) the
// new file gets them, so a replaced file keeps what its owner gave it. A stale file, link or pipe at the
// temporary path is removed first, and the temporary file is created exclusively so a link
// planted there is never followed. On any failure before the rename the temporary file is
// removed and the target is untouched. No value means the replace is complete and durable.
std::optional<ReplaceFailure> replaceFileDurably(const std::filesystem::path& target,
                                                 const std::filesystem::path& temporary,
                                                 const std::vector<std::uint8_t>& bytes,
                                                 std::optional<unsigned> permissions = std::nullopt);
std::optional<ReplaceFailure> replaceFileDurablyWith(const std::filesystem::path& target,
                                                     const std::filesystem::path& temporary, const FileContents& write,
                                                     std::optional<unsigned> permissions = std::nullopt);

}  // namespace tarn
