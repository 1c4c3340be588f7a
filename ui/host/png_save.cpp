// Writing an offscreen image to a PNG file, with every write checked.
#include "ui/host/png_save.h"

#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <stdexcept>
#include <unistd.h>

namespace tarn::ui {
namespace {

struct Encoded {
    std::vector<unsigned char> bytes;
    bool failed = false;
};

// Called from C code: nothing may throw through it.
void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<Encoded*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    try {
        out->bytes.insert(out->bytes.end(), bytes, bytes + size);
    } catch (...) {
        out->failed = true;
    }
}

// stb's own file writer reports success on a full disk, so the encoded bytes are written
// here and every write, the flush and the close are checked.
// Only a regular file this call may have written is removed on failure: a device or pipe named
// as the target (a process running as root could otherwise delete /dev/full) is left alone.
bool writeWhole(const std::string& path, const std::vector<unsigned char>& bytes) {
    struct stat before {};
    const bool existedAsOther = ::lstat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t written = 0;
    bool ok = true;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    if (ok && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) ok = false;
    if (::close(fd) != 0) ok = false;
    if (!ok && !existedAsOther) ::unlink(path.c_str());
    return ok;
}

}  // namespace

void savePng(const Image& image, const std::string& path) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
        throw std::runtime_error("tarn-ui: savePng got an empty or malformed image");
    Encoded encoded;
    const int ok = stbi_write_png_to_func(appendBytes, &encoded, image.width, image.height, 4, image.rgba.data(),
                                          image.width * 4);
    if (!ok || encoded.failed || encoded.bytes.empty() || !writeWhole(path, encoded.bytes))
        throw std::runtime_error("tarn-ui: could not write " + path);
}

}  // namespace tarn::ui
