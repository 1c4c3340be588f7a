// Writing a whole file so that a failure never leaves a half-written or lost target behind.
#pragma once

#include "engine/durable_replace.h"

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace tarn {

// Writes bytes to a temporary file next to path, checks every write, flushes it to disk, closes
// it and only then renames it over path. On any failure the temporary file is removed, whatever
// was at path is untouched and the result is false. A path that names an existing device, pipe
// or other non-regular file is written in place instead (renaming over it would replace the
// device node), and a symbolic link is followed so that the link itself survives.
bool replaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes);
// The same with contents written by `write`, for files streamed a piece at a time. Answers why it
// failed (the system's error, or the one `write` returned); no error means the file is written.
std::error_code replaceFileContentsWith(const std::string& path, const FileContents& write);

}  // namespace tarn
