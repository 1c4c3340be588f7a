// A hash index over the members of one object, for callers that look up many keys in it.
#pragma once

#include "documents/json/value.h"

#include <cstddef>
#include <string_view>
#include <unordered_map>

namespace tarn::json {

// Built once in linear time; each lookup then costs constant time on average, so walking one
// large object against another stays linear. The indexed value must outlive the index and
// keep its members unchanged while the index is used.
class MemberIndex {
public:
    explicit MemberIndex(const Value& object);

    // The member with exactly this key, or none (always none for a value that is not an Object).
    const Value* find(std::string_view key) const;

private:
    const Value* object_;
    std::unordered_map<std::string_view, std::size_t> positions_;
};

}  // namespace tarn::json
