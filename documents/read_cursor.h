// The reading position in one JSON object: typed member lookups, wrong-type warnings, and what was read.
#pragma once

#include "documents/issue.h"
#include "documents/json/member_index.h"
#include "documents/json/value.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// A reader takes the members it understands through the cursor; whatever it did not take
// comes back from unreadMembers and is carried along to be written back unchanged.
struct ReadCursor {
    const json::Value* node = nullptr;  // not owned: the caller keeps the document alive
    std::string path;                   // JSON pointer of `node`; empty for the document itself
    IssueList* issues = nullptr;        // not owned
    std::vector<std::string> readKeys;  // in the order taken

    ReadCursor(const json::Value& node, std::string path, IssueList& issues);

    // The member without recording it and without any issue.
    const json::Value* find(std::string_view key) const;

    void markRead(std::string_view key);

    // A new Object with copies of the members not taken, in the order of `node`.
    json::Value unreadMembers() const;

private:
    // Built on the first lookup in a large object, so a reader's fixed handful of lookups
    // stays linear in the member count.
    mutable std::optional<json::MemberIndex> index_;
};

// The member `key` when it has `kind` (and the key is recorded as read); none when it is
// absent. A member of another kind gives none, stays unread, and adds the Warning
// "wrong-type": "Expected " + noun + "; kept as written, not applied".
const json::Value* memberOfKind(ReadCursor& cursor, std::string_view key, json::Kind kind, std::string_view noun);

std::optional<double> numberMember(ReadCursor& cursor, std::string_view key);
std::optional<std::string> stringMember(ReadCursor& cursor, std::string_view key);
const json::Value* arrayMember(ReadCursor& cursor, std::string_view key);
const json::Value* objectMember(ReadCursor& cursor, std::string_view key);

// The wrong-type warning itself, for readers that judge a value's kind on their own.
void addWrongType(IssueList& issues, std::string pointer, std::string_view noun);

}  // namespace tarn
