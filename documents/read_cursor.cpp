// Typed member lookups over one JSON object, with the record of which members a reader took.
#include "documents/read_cursor.h"

#include "documents/json_pointer.h"

#include <string_view>
#include <unordered_set>
#include <utility>

namespace tarn {
namespace {

// Below this many members a plain scan is cheaper than building an index.
constexpr std::size_t kIndexedMembers = 32;

}  // namespace

ReadCursor::ReadCursor(const json::Value& nodeValue, std::string nodePath, IssueList& issueList)
    : node(&nodeValue), path(std::move(nodePath)), issues(&issueList) {}

const json::Value* ReadCursor::find(std::string_view key) const {
    if (node->kind != json::Kind::Object) return nullptr;
    if (node->members.size() < kIndexedMembers) return node->find(key);
    if (!index_) index_.emplace(*node);
    return index_->find(key);
}

void ReadCursor::markRead(std::string_view key) {
    readKeys.emplace_back(key);
}

json::Value ReadCursor::unreadMembers() const {
    json::Value kept = json::Value::object();
    if (node->kind != json::Kind::Object) return kept;
    const std::unordered_set<std::string_view> taken(readKeys.begin(), readKeys.end());
    for (const json::Member& member : node->members)
        if (!taken.contains(member.key)) kept.append(member.key, member.value);
    return kept;
}

void addWrongType(IssueList& issues, std::string pointer, std::string_view noun) {
    std::string message = "Expected ";
    message += noun;
    message += "; kept as written, not applied";
    addWarning(issues, "wrong-type", std::move(pointer), std::move(message));
}

const json::Value* memberOfKind(ReadCursor& cursor, std::string_view key, json::Kind kind, std::string_view noun) {
    const json::Value* member = cursor.find(key);
    if (!member) return nullptr;
    if (member->kind != kind) {
        addWrongType(*cursor.issues, pointerJoin(cursor.path, key), noun);
        return nullptr;
    }
    cursor.markRead(key);
    return member;
}

std::optional<double> numberMember(ReadCursor& cursor, std::string_view key) {
    const json::Value* member = memberOfKind(cursor, key, json::Kind::Number, "a number");
    if (!member) return std::nullopt;
    return member->number;
}

std::optional<std::string> stringMember(ReadCursor& cursor, std::string_view key) {
    const json::Value* member = memberOfKind(cursor, key, json::Kind::String, "a string");
    if (!member) return std::nullopt;
    return member->text;
}

const json::Value* arrayMember(ReadCursor& cursor, std::string_view key) {
    return memberOfKind(cursor, key, json::Kind::Array, "an array");
}

const json::Value* objectMember(ReadCursor& cursor, std::string_view key) {
    return memberOfKind(cursor, key, json::Kind::Object, "an object");
}

}  // namespace tarn
