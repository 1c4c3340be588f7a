// The "instance" document: one configured instance of a plugin, with its reader and writer.
#pragma once

#include "documents/clip.h"
#include "documents/issue.h"
#include "documents/json/value.h"
#include "documents/small_formats.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarn {

// Everything is held by value: copying a document copies its audition clip and kept members.
// The sound of a session or preset is stored as one of these.
struct InstanceDocument {
    SpecVersion spec;                         // as read; always written as 1.0
    std::string id;                           // the instance's own id (the preset's name slug)
    std::string plugin;                       // the plugin it is for; required
    std::int32_t formatVersion = 1;           // version of the plugin's own "state" format
    std::string pluginVersion;                // version text of the plugin that wrote it
    std::string scope = "complete";           // how much of the instance the document holds
    std::optional<std::uint64_t> seed;
    std::vector<ExtensionId> extensions;      // declared extensions, as read
    std::vector<json::Value> keptExtensions;  // unreadable "extensions" entries, as written
    json::Value meta;                         // descriptive data ("name", "category")
    json::Value provenance;                   // where the instance came from
    std::vector<json::Member> params;         // name -> Number or choice String; others kept, not applied
    json::Value state;                        // the plugin's own state
    json::Value hints;                        // presentation hints
    std::vector<json::Member> assets;         // name -> "factory:<name>" or "asset:<sha256>", as written
    std::optional<Clip> audition;             // a clip to audition the sound with
    json::Value ext;                          // vendor extension data
    json::Value kept;                         // members the reader did not take, written back unchanged
    json::Value asRead;                       // the whole document as read; Null when built in memory
};

// The document, or none when its head is unusable ("not-a-document" or "wrong-kind"); every
// other problem is a Note or Warning beside a document. An audition that is not a usable clip
// leaves the document usable: its issues stand under "/audition", followed by "bad-audition".
std::optional<InstanceDocument> readInstance(const json::Value& node, IssueList& issues);

// The document as an Object in a fixed member order, kept members back in place and unchanged
// numbers with the text they were read from.
json::Value writeInstance(const InstanceDocument& document);

}  // namespace tarn
