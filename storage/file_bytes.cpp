// Whole-file reads with every failure turned into an error code instead of an exception.
#include "storage/file_bytes.h"

#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarn {

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& path, std::error_code& error) {
    error.clear();
    // Non-blocking so that a pipe put where a preset was listed cannot hang the start-up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = {errno, std::generic_category()};
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> result;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = {errno, std::generic_category()};
    } else if (S_ISDIR(info.st_mode)) {
        error = std::make_error_code(std::errc::is_a_directory);
    } else if (!S_ISREG(info.st_mode)) {
        error = std::make_error_code(std::errc::invalid_argument);
    } else if (static_cast<std::uint64_t>(info.st_size) > kMaxPresetFileBytes) {
        error = std::make_error_code(std::errc::file_too_large);
    } else {
        try {
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
            std::size_t done = 0;
            // The file may shrink or grow while it is read: read until end of file, growing as needed.
            for (;;) {
                if (done == bytes.size()) {
                    if (bytes.size() >= kMaxPresetFileBytes) {
                        error = std::make_error_code(std::errc::file_too_large);
                        break;
                    }
                    bytes.resize(bytes.size() + 4096);
                }
                const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
                if (n < 0) {
                    if (errno == EINTR) continue;
                    error = {errno, std::generic_category()};
                    break;
                }
                if (n == 0) break;
                done += static_cast<std::size_t>(n);
            }
            if (!error) {
                bytes.resize(done);
                result = std::move(bytes);
            }
        } catch (const std::bad_alloc&) {
            error = std::make_error_code(std::errc::not_enough_memory);
        }
    }
    ::close(fd);
    return result;
}

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& path) {
    std::error_code ignored;
    return readFileBytes(path, ignored);
}

}  // namespace tarn
