// The export writers' last step: a durable replace of the target, or a write in place for devices.
#include "engine/file_replace.h"

#include "engine/file_names.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarn {
namespace {

// The file a symbolic link points at, or the path itself.
std::string resolvedTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) == nullptr) return path;
    return buffer;
}

std::error_code systemError(int error) { return {error, std::generic_category()}; }

std::error_code writeInPlace(const std::string& path, const FileContents& write) {
    // Non-blocking open so that a pipe without a reader fails instead of hanging the UI.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return systemError(errno);
    const int flags = ::fcntl(fd, F_GETFL);
    int error = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? 0 : errno;
    if (error == 0) error = write(fd);
    if (::close(fd) != 0 && error == 0) error = errno;
    return error == 0 ? std::error_code() : systemError(error);
}

}  // namespace

bool replaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    return !replaceFileContentsWith(path, [&](int fd) { return writeWhole(fd, bytes); });
}

std::error_code replaceFileContentsWith(const std::string& path, const FileContents& write) {
    if (path.empty()) return systemError(ENOENT);
    const std::string target = resolvedTarget(path);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return writeInPlace(target, write);

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    // A name of this process's own, so two exports to one target never share a temporary file, and
    // short enough for the folder whatever the length of the name it stands for.
    static std::atomic<unsigned> counter{0};
    std::string suffix = ".tmp-";
    suffix += std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const std::size_t room = fileNameLimit(folder.empty() ? "." : folder);
    std::string temporary = ".";
    temporary += cutAtCharacter(name, room > suffix.size() + 1 ? room - suffix.size() - 1 : 0);
    temporary += suffix;
    // An overwritten export keeps the permissions its owner gave it.
    const std::optional<unsigned> permissions =
        exists ? std::optional<unsigned>(existing.st_mode & 07777) : std::nullopt;
    const std::optional<ReplaceFailure> failure = replaceFileDurablyWith(target, temporary, write, permissions);
    return failure ? failure->error : std::error_code();
}

}  // namespace tarn
