// A hash index over the members of one object, for callers that look up many keys in it.
#pragma once

#include "documents/json/key_table.h"
#include "documents/json/value.h"

#include <string_view>

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
    KeyTable table_;
};

}  // namespace tarn::json
