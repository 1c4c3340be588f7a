// A hash index over the members of one object.
#include "documents/json/member_index.h"

namespace tarn::json {

MemberIndex::MemberIndex(const Value& object) : object_(&object) {
    if (object.kind != Kind::Object) return;
    positions_.reserve(object.members.size());
    // emplace keeps the first of equal keys, as Value::find does.
    for (std::size_t i = 0; i < object.members.size(); ++i) positions_.emplace(object.members[i].key, i);
}

const Value* MemberIndex::find(std::string_view key) const {
    const auto found = positions_.find(key);
    return found == positions_.end() ? nullptr : &object_->members[found->second].value;
}

}  // namespace tarn::json
