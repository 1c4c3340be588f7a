// Member tables: objects read into ordered key-value lists whose values are checked by kind but always kept.
#pragma once

#include "documents/issue.h"
#include "documents/json/value.h"

#include <string_view>
#include <vector>

namespace tarn {

// What a member table accepts; a value of another kind is kept in the table and reported.
enum class MemberRule {
    Names,    // Strings: clip "voices" and "sounds"
    Values,   // Numbers or Strings: a note's "set"
    Numbers,  // Numbers: a note's "add", a random record's "params"
};

// Every member of `object` in order, one per key (a later one replaces an earlier one's
// value), whatever its kind; a value the rule does not accept also gives "wrong-type" at the
// member's pointer.
std::vector<json::Member> readMemberTable(const json::Value& object, std::string_view pointer, IssueList& issues,
                                          MemberRule rule);

// Every member copied, in order, one per key (a later member replaces an earlier one's value).
json::Value writeMemberTable(const std::vector<json::Member>& table);

}  // namespace tarn
