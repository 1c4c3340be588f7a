// An open-addressing hash table of member positions, for duplicate checks and lookups in large objects.
#pragma once

#include "documents/json/value.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarn::json {

// Refers to members by position and keeps each key's hash beside it, so an insert or lookup
// usually touches one slot and reads a key only when the hashes agree. It holds no copies of
// the keys and stays valid while the member vector grows (positions do not move).
class KeyTable {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    void reserve(std::size_t count);

    // Adds member `index`; false (and nothing added) when an earlier member has the same key.
    bool insert(const std::vector<Member>& members, std::size_t index);

    // Position of the first inserted member with this key, or npos.
    std::size_t find(const std::vector<Member>& members, std::string_view key) const;

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t position = 0;  // member index + 1; 0 marks an empty slot
    };
    std::vector<Slot> slots_;
    std::size_t count_ = 0;

    void rehash(std::size_t slotCount);
};

}  // namespace tarn::json
