// An open-addressing hash table of member positions with linear probing.
#include "documents/json/key_table.h"

#include <functional>
#include <utility>

namespace tarn::json {

void KeyTable::reserve(std::size_t count) {
    std::size_t slotCount = 64;
    while (slotCount < count * 2) slotCount *= 2;
    if (slotCount > slots_.size()) rehash(slotCount);
}

bool KeyTable::insert(const std::vector<Member>& members, std::size_t index) {
    if ((count_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 64 : slots_.size() * 2);
    const std::string_view key = members[index].key;
    const std::uint64_t hash = std::hash<std::string_view>()(key);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.position == 0) {
            slot = Slot{hash, static_cast<std::uint32_t>(index + 1)};
            ++count_;
            return true;
        }
        if (slot.hash == hash && members[slot.position - 1].key == key) return false;
    }
}

std::size_t KeyTable::find(const std::vector<Member>& members, std::string_view key) const {
    if (slots_.empty()) return npos;
    const std::uint64_t hash = std::hash<std::string_view>()(key);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.position == 0) return npos;
        if (slot.hash == hash && members[slot.position - 1].key == key) return slot.position - 1;
    }
}

void KeyTable::rehash(std::size_t slotCount) {
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(slotCount));
    const std::size_t mask = slotCount - 1;
    for (const Slot& slot : old) {
        if (slot.position == 0) continue;
        std::size_t at = static_cast<std::size_t>(slot.hash) & mask;
        while (slots_[at].position != 0) at = (at + 1) & mask;
        slots_[at] = slot;
    }
}

}  // namespace tarn::json
