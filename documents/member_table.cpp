// Reading and writing member tables in linear time, keeping values of the wrong kind beside a warning.
#include "documents/member_table.h"

#include "documents/json/key_table.h"
#include "documents/json_pointer.h"
#include "documents/read_cursor.h"

#include <utility>

namespace tarn {
namespace {

using json::Kind;
using json::Value;

bool ruleAccepts(MemberRule rule, Kind kind) {
    switch (rule) {
        case MemberRule::Names: return kind == Kind::String;
        case MemberRule::Values: return kind == Kind::Number || kind == Kind::String;
        case MemberRule::Numbers: return kind == Kind::Number;
    }
    return false;
}

const char* ruleNoun(MemberRule rule) {
    switch (rule) {
        case MemberRule::Names: return "a name";
        case MemberRule::Values: return "a value or choice id";
        case MemberRule::Numbers: return "a number";
    }
    return "a value";
}

}  // namespace

std::vector<json::Member> readMemberTable(const Value& object, std::string_view pointer, IssueList& issues,
                                          MemberRule rule) {
    std::vector<json::Member> table;
    table.reserve(object.members.size());
    json::KeyTable positions;  // one entry per key, in linear time however large the table
    positions.reserve(object.members.size());
    for (const json::Member& member : object.members) {
        if (!ruleAccepts(rule, member.value.kind)) addWrongType(issues, pointerJoin(pointer, member.key), ruleNoun(rule));
        table.push_back(member);
        if (!positions.insert(table, table.size() - 1)) {
            table[positions.find(table, member.key)].value = std::move(table.back().value);
            table.pop_back();
        }
    }
    return table;
}

Value writeMemberTable(const std::vector<json::Member>& table) {
    Value object = Value::object();
    object.members.reserve(table.size());
    json::KeyTable positions;  // one member per key in linear time however large the table
    positions.reserve(table.size());
    for (const json::Member& member : table) {
        object.members.push_back(member);
        if (!positions.insert(object.members, object.members.size() - 1)) {
            object.members[positions.find(object.members, member.key)].value = std::move(object.members.back().value);
            object.members.pop_back();
        }
    }
    return object;
}

}  // namespace tarn
