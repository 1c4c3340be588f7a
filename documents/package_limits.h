// What a caller allows an archive to unpack to: entry count, one entry's size and the total.
#pragma once

#include <cstdint>

namespace tarn {

// The callers of this system pass 10000 entries, 1 GiB per entry and 2 GiB in all.
struct PackageLimits {
    std::uint64_t maxEntries = 10000;
    std::uint64_t maxEntrySize = 0x40000000;
    std::uint64_t maxTotalSize = 0x80000000;
};

} // namespace tarn
