// Temporary file, checked writes, fsync, rename, fsync of the folder: all through the folder's handle.
#include "engine/durable_replace.h"

#include "engine/write_failure.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarn {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

std::optional<ReplaceFailure> failure(ReplaceStep step, std::error_code error) { return ReplaceFailure{step, error}; }

// Closes a file or folder handle when the scope ends.
struct Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0) ::close(fd);
    }
};

// Flushes the folder's entry list so the rename itself survives a power loss.
std::error_code syncFolder(int folder) {
    const Handle listing{::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (listing.fd < 0) return lastError();
    // Some file systems cannot sync a folder at all (EINVAL): there is nothing more to flush.
    if (::fsync(listing.fd) != 0 && errno != EINVAL) return lastError();
    return {};
}

// Whether the folder held open is still the one at its path: a file renamed into a folder that was
// moved away would land where the user never asked for it.
std::error_code stillInPlace(const std::filesystem::path& path, int folder) {
    struct stat held {};
    if (::fstat(folder, &held) != 0) return lastError();
    if (held.st_nlink == 0) return {ENOENT, std::generic_category()};
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0 || now.st_dev != held.st_dev || now.st_ino != held.st_ino) {
        return WriteFailure::folderMoved;
    }
    return {};
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

int writeWhole(int fd, const std::vector<std::uint8_t>& bytes) { return writeWhole(fd, bytes.data(), bytes.size()); }

std::optional<ReplaceFailure> replaceFileDurably(const std::filesystem::path& target, const std::string& temporaryName,
                                                 const std::vector<std::uint8_t>& bytes,
                                                 std::optional<unsigned> permissions) {
    return replaceFileDurablyWith(
        target, temporaryName, [&](int fd) { return writeWhole(fd, bytes); }, permissions);
}

std::optional<ReplaceFailure> replaceFileDurablyWith(const std::filesystem::path& target,
                                                     const std::string& temporaryName, const FileContents& write,
                                                     std::optional<unsigned> permissions) {
    const std::filesystem::path folderPath = target.has_parent_path() ? target.parent_path() : ".";
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..")
        return failure(ReplaceStep::Temporary, {EISDIR, std::generic_category()});
    const char* temporary = temporaryName.c_str();
    // A path-only handle: a folder that may be written but not listed still takes the file.
    const Handle folder{::open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd < 0) return failure(ReplaceStep::Temporary, lastError());
    // Known before anything is written, rather than after minutes of it at the rename.
    const long nameLimit = ::fpathconf(folder.fd, _PC_NAME_MAX);
    if (nameLimit > 0 && name.size() > static_cast<std::size_t>(nameLimit)) {
        return failure(ReplaceStep::Temporary, {ENAMETOOLONG, std::generic_category()});
    }

    // A temporary file left by a crashed save is stale; a folder there is not ours and makes the
    // exclusive create below fail.
    if (::unlinkat(folder.fd, temporary, 0) != 0 && errno != ENOENT && errno != EISDIR && errno != EPERM) {
        return failure(ReplaceStep::Temporary, lastError());
    }
    const int fd = ::openat(folder.fd, temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return failure(ReplaceStep::Temporary, lastError());

    int error = 0;
    if (permissions && ::fchmod(fd, static_cast<mode_t>(*permissions)) != 0) error = errno;
    if (error == 0) error = write(fd);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        ::unlinkat(folder.fd, temporary, 0);
        return failure(ReplaceStep::Temporary, {error, std::generic_category()});
    }

    if (const std::error_code moved = stillInPlace(folderPath, folder.fd)) {
        ::unlinkat(folder.fd, temporary, 0);
        return failure(ReplaceStep::Rename, moved);
    }
    if (::renameat(folder.fd, temporary, folder.fd, name.c_str()) != 0) {
        const std::error_code renameError = lastError();
        ::unlinkat(folder.fd, temporary, 0);
        return failure(ReplaceStep::Rename, renameError);
    }
    if (const std::error_code syncError = syncFolder(folder.fd)) return failure(ReplaceStep::SyncFolder, syncError);
    return std::nullopt;
}

}  // namespace tarn
