// A hash index over the members of one object.
#include "documents/json/member_index.h"

namespace tarn::json {

MemberIndex::MemberIndex(const Value& object) : object_(&object) {
    if (object.kind != Kind::Object) return;
    table_.reserve(object.members.size());
    // insert keeps the first of equal keys, as Value::find does.
    for (std::size_t i = 0; i < object.members.size(); ++i) table_.insert(object.members, i);
}

const Value* MemberIndex::find(std::string_view key) const {
    const std::size_t found = table_.find(object_->members, key);
    return found == KeyTable::npos ? nullptr : &object_->members[found].value;
}

}  // namespace tarn::json
