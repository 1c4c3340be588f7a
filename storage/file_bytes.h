// Reading a whole preset file into memory, refusing what is not a regular file or is too large.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace tarn {

// The largest file the store reads: what a preset package may unpack to in all (2 GiB).
inline constexpr std::uint64_t kMaxPresetFileBytes = 0x80000000;

// The whole file, or none when it cannot be opened or read; `error` then says why (a folder,
// pipe or device at the path, or a file over kMaxPresetFileBytes, is refused without reading).
std::optional<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& path, std::error_code& error);

// The same without the reason.
std::optional<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& path);

}  // namespace tarn
