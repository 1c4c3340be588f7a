// Reading an instance document: the head, typed members with warnings, the audition clip and the carried-along rest.
#include "documents/instance.h"

#include "documents/clip_reader.h"
#include "documents/document_header.h"
#include "documents/json/key_table.h"
#include "documents/json/number.h"
#include "documents/json_pointer.h"
#include "documents/member_table.h"
#include "documents/read_cursor.h"

#include <utility>

namespace tarn {
namespace {

using json::Kind;
using json::Value;

// "meta", "provenance", "state", "hints" and "ext" are taken whatever their kind.
void takeAny(ReadCursor& cursor, std::string_view key, Value& field) {
    if (const Value* member = cursor.find(key)) {
        field = *member;
        cursor.markRead(key);
    }
}

void readSeed(ReadCursor& cursor, InstanceDocument& document) {
    const Value* seed = cursor.find("seed");
    if (!seed) return;
    const auto value = seed->kind == Kind::String ? parseSeed(seed->text) : std::nullopt;
    if (!value) {
        // Left unread, so it is carried along and written back as it stood.
        addWarning(*cursor.issues, "bad-seed", "/seed", "A seed is 16 hex digits; kept as written, not used");
        return;
    }
    document.seed = value;
    cursor.markRead("seed");
}

// Every asset member is kept as written; one that is no reference is reported and not loaded.
std::vector<json::Member> readAssets(const Value& object, IssueList& issues) {
    std::vector<json::Member> assets;
    assets.reserve(object.members.size());
    json::KeyTable positions;  // one entry per name, in linear time however many there are
    positions.reserve(object.members.size());
    for (const json::Member& member : object.members) {
        if (member.value.kind != Kind::String || !parseAssetRef(member.value.text))
            addWarning(issues, "bad-asset-ref", pointerJoin("/assets", member.key),
                       "Expected factory:<name> or asset:<sha256>; kept as written, not loaded");
        assets.push_back(member);
        if (!positions.insert(assets, assets.size() - 1)) {
            assets[positions.find(assets, member.key)].value = std::move(assets.back().value);
            assets.pop_back();
        }
    }
    return assets;
}

// The clip is read with issues of its own, which then stand under "/audition" in the caller's
// list. A clip that cannot be read leaves the member to the carried-along ones.
void readAudition(ReadCursor& cursor, InstanceDocument& document) {
    const Value* audition = cursor.find("audition");
    if (!audition) return;
    IssueList clipIssues;
    std::optional<Clip> clip = readClip(*audition, clipIssues);
    IssueList& issues = *cursor.issues;
    for (Issue& issue : clipIssues) {
        issue.pointer.insert(0, "/audition");
        issues.push_back(std::move(issue));
    }
    if (!clip) {
        addWarning(issues, "bad-audition", "/audition", "The audition is not a clip; kept as written, not offered");
        return;
    }
    document.audition = std::move(clip);
    cursor.markRead("audition");
}

}  // namespace

std::optional<InstanceDocument> readInstance(const Value& node, IssueList& issues) {
    DocumentHeader header = readDocumentHeader(node, "instance", issues);
    if (!header.valid) return std::nullopt;
    ReadCursor cursor(node, "", issues);
    cursor.markRead("kind");
    cursor.markRead("spec");
    if (header.extensionsRead) cursor.markRead("extensions");

    InstanceDocument document;
    document.asRead = node;
    document.spec = header.spec;
    document.extensions = std::move(header.extensions);
    document.keptExtensions = std::move(header.keptExtensions);

    if (auto id = stringMember(cursor, "id")) document.id = std::move(*id);
    if (auto plugin = stringMember(cursor, "plugin")) document.plugin = std::move(*plugin);
    if (document.plugin.empty()) addWarning(issues, "instance-without-plugin", "/plugin", "An instance names its plugin");
    // Saturating, so a formatVersion of 1e300 or -inf cannot overflow the conversion.
    if (const auto formatVersion = numberMember(cursor, "formatVersion"))
        document.formatVersion = json::toInt32(*formatVersion);
    if (auto pluginVersion = stringMember(cursor, "pluginVersion")) document.pluginVersion = std::move(*pluginVersion);
    if (auto scope = stringMember(cursor, "scope")) document.scope = std::move(*scope);
    readSeed(cursor, document);

    takeAny(cursor, "meta", document.meta);
    takeAny(cursor, "provenance", document.provenance);
    takeAny(cursor, "state", document.state);
    takeAny(cursor, "hints", document.hints);
    takeAny(cursor, "ext", document.ext);

    // A parameter of another kind than a number or a choice id is reported and kept in the
    // list, so it is written back; the consumer of `params` does not apply it.
    if (const Value* params = objectMember(cursor, "params"))
        document.params = readMemberTable(*params, "/params", issues, MemberRule::Values);
    if (const Value* assets = objectMember(cursor, "assets"))
        document.assets = readAssets(*assets, issues);
    readAudition(cursor, document);

    document.kept = cursor.unreadMembers();
    return document;
}

}  // namespace tarn
