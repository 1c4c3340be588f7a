// File names at the file system's limit: how long a name a folder takes, and names cut to fit it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tarn {

// The longest file name, in bytes, that `folder` takes, as the system answers for the folder or, when
// it does not exist yet, for the nearest folder above it that does. 255 where the system gives no
// answer.
std::size_t fileNameLimit(const std::filesystem::path& folder);

// The longest start of UTF-8 text of at most `bytes` bytes that ends between two characters, so a
// name cut to a length never ends in part of a character. Text that is not UTF-8 there is cut at
// `bytes` itself.
std::string cutAtCharacter(const std::string& text, std::size_t bytes);

}  // namespace tarn
