// Temporary file, checked writes, fsync, rename, fsync of the folder.
#include "engine/durable_replace.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarn {
namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

std::optional<ReplaceFailure> failure(ReplaceStep step, std::error_code error) {
    return ReplaceFailure{step, error};
}

// Flushes the folder's entry list so the rename itself survives a power loss.
std::error_code syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return lastError();
    std::error_code error;
    // Some file systems cannot sync a folder at all (EINVAL): there is nothing more to flush.
    if (::fsync(fd) != 0 && errno != EINVAL) error = lastError();
    ::close(fd);
    return error;
}

}  // namespace

int writeWhole(int fd, const std::uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int writeWhole(int fd, const std::vector<std::uint8_t>& bytes) {
    return writeWhole(fd, bytes.data(), bytes.size());
}

std::optional<ReplaceFailure> replaceFileDurably(const std::filesystem::path& target,
                                                 const std::filesystem::path& temporary,
                                                 const std::vector<std::uint8_t>& bytes,
                                                 std::optional<unsigned> permissions) {
    return replaceFileDurablyWith(target, temporary, [&](int fd) { return writeWhole(fd, bytes); }, permissions);
}

std::optional<ReplaceFailure> replaceFileDurablyWith(const std::filesystem::path& target,
                                                     const std::filesystem::path& temporary, const FileContents& write,
                                                     std::optional<unsigned> permissions) {
    // A temporary file left by a crashed save is stale; a folder there is not ours and makes the
    // exclusive create below fail.
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT && errno != EISDIR && errno != EPERM) {
        return failure(ReplaceStep::Temporary, lastError());
    }
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return failure(ReplaceStep::Temporary, lastError());

    int error = 0;
    if (permissions && ::fchmod(fd, static_cast<mode_t>(*permissions)) != 0) error = errno;
    if (error == 0) error = write(fd);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failure(ReplaceStep::Temporary, {error, std::generic_category()});
    }

    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const std::error_code renameError = lastError();
        ::unlink(temporary.c_str());
        return failure(ReplaceStep::Rename, renameError);
    }
    if (const std::error_code syncError = syncFolder(target.parent_path())) {
        return failure(ReplaceStep::SyncFolder, syncError);
    }
    return std::nullopt;
}

}  // namespace tarn
