// Writing and reading session files.
#include "storage/session.h"

#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "documents/json/reader.h"
#include "documents/json/writer.h"
#include "documents/package.h"
#include "storage/patch_document.h"
#include "storage/pattern_document.h"

namespace tarn {
namespace {

constexpr const char* kVersionKey = "tarnlodeSession";
constexpr double kSessionVersion = 1.0;

// Parsed the way package documents are (byte-order mark skipped, same size cap); a text that is
// not JSON is reported in the session's own words.
std::optional<json::Value> parseSessionText(const std::string& text, IssueList& issues) {
    IssueList textIssues;
    std::optional<json::Value> value =
        parseDocumentText(std::vector<std::uint8_t>(text.begin(), text.end()), "", textIssues);
    if (value) return value;
    constexpr std::string_view packagePrefix = "The document is not valid JSON: ";
    for (Issue& issue : textIssues) {
        if (issue.id == "document-unreadable") {
            std::string_view reason = issue.message;
            if (reason.starts_with(packagePrefix)) reason.remove_prefix(packagePrefix.size());
            addError(issues, "not-json", "", "Not a readable session: " + std::string(reason));
        } else {
            issues.push_back(std::move(issue));
        }
    }
    return std::nullopt;
}

// A name and category that a session no longer has must not come back from the carried
// document's "meta".
void dropPresetName(InstanceDocument& document) {
    if (document.meta.kind != json::Kind::Object) return;
    std::erase_if(document.meta.members,
                  [](const json::Member& member) { return member.key == "name" || member.key == "category"; });
}

}  // namespace

Session::Session() : pattern(1, 36, 0) {
    pattern.bars.clear();
    pattern.kicks.clear();
}

std::string writeSession(const Session& session) {
    json::Value out = json::Value::object();
    out.append(kVersionKey, json::Value(1));

    InstanceDocument base = session.soundDocument;
    std::string soundText;
    if (session.name.empty()) {
        dropPresetName(base);
        patchToInstance(base, soundText, session.patch, std::nullopt, nullptr);
    } else {
        const PresetMeta meta{session.name, session.category};
        patchToInstance(base, soundText, session.patch, std::nullopt, &meta);
    }
    json::Value sound;
    std::string error;
    // Our own writer's output always parses; the check only keeps a failure from passing silently.
    if (!json::parse(soundText, sound, error)) sound = json::Value::object();
    out.append("patch", std::move(sound));

    out.append("pattern", writePattern(session.pattern));
    out.append("notes", json::Value(session.noteSource == kNoteSourcePattern ? "pattern" : "demo"));
    return json::write(out);
}

std::optional<Session> readSession(const std::string& text, IssueList& issues) {
    const std::optional<json::Value> root = parseSessionText(text, issues);
    if (!root) return std::nullopt;

    const json::Value* version = root->find(kVersionKey);
    if (root->kind != json::Kind::Object || !version) {
        addError(issues, "not-a-session", "", "Not a tarnlode session");
        return std::nullopt;
    }
    const double versionNumber = version->kind == json::Kind::Number ? version->number : 0.0;
    if (versionNumber > kSessionVersion) {
        addError(issues, "newer-session", std::string("/") + kVersionKey,
                 "Saved by a newer tarnlode; this build cannot read it");
        return std::nullopt;
    }

    Session session;

    const json::Value* patch = root->find("patch");
    if (!patch || patch->kind != json::Kind::Object) {
        addError(issues, "no-patch", "/patch", "The session has no sound");
        return std::nullopt;
    }
    const std::string soundText = json::write(*patch);
    const auto* soundBytes = reinterpret_cast<const std::uint8_t*>(soundText.data());
    std::optional<Patch> sound;
    patchFromInstance(session.soundDocument, sound, std::span<const std::uint8_t>(soundBytes, soundText.size()),
                      issues);
    if (!sound) return std::nullopt;
    session.patch = *sound;
    PresetMeta meta = readPresetMeta(session.soundDocument);
    session.name = std::move(meta.name);
    session.category = std::move(meta.category);

    const json::Value* pattern = root->find("pattern");
    if (!pattern || pattern->kind != json::Kind::Object)
        addWarning(issues, "no-pattern", "/pattern", "The session has no pattern; an empty one opens");
    else
        readPattern(*pattern, session.pattern, issues);
    if (session.pattern.bars.empty()) session.pattern = Pattern(4, session.pattern.rootNote, session.pattern.scale);

    const std::string notes = json::stringOr(*root, "notes", "pattern");
    session.noteSource = notes == "demo" ? kNoteSourceDemo : kNoteSourcePattern;
    return session;
}

}  // namespace tarn
