// Writing an instance document: known members in a fixed order, then the carried-along members and number texts.
#include "documents/instance.h"

#include "documents/clip_writer.h"
#include "documents/document_header.h"
#include "documents/kept_members.h"
#include "documents/member_table.h"

#include <algorithm>

namespace tarn {
namespace {

using json::Kind;
using json::Value;

constexpr const char* kAuditionExtension = "com.tarnwerks.audition";

// An instance with an audition declares the audition extension, unless it already declares it
// under any major.
std::vector<ExtensionId> extensionsToWrite(const InstanceDocument& document) {
    std::vector<ExtensionId> ids = document.extensions;
    const bool declared =
        std::any_of(ids.begin(), ids.end(), [](const ExtensionId& id) { return id.id == kAuditionExtension; });
    if (document.audition && !declared) ids.push_back(ExtensionId{kAuditionExtension, 1});
    return ids;
}

}  // namespace

Value writeInstance(const InstanceDocument& document) {
    Value object = Value::object();
    object.set("kind", "instance");
    object.set("spec", specVersionText(currentSpecVersion()));
    if (!document.id.empty()) object.set("id", document.id);
    object.set("plugin", document.plugin);
    object.set("formatVersion", document.formatVersion);
    if (!document.pluginVersion.empty()) object.set("pluginVersion", document.pluginVersion);
    object.set("scope", document.scope);
    if (document.seed) object.set("seed", seedToHex(*document.seed));
    const std::vector<ExtensionId> extensions = extensionsToWrite(document);
    if (!extensions.empty() || !document.keptExtensions.empty())
        object.set("extensions", writeExtensions(extensions, document.keptExtensions));
    if (document.meta.kind != Kind::Null) object.set("meta", document.meta);
    if (document.provenance.kind != Kind::Null) object.set("provenance", document.provenance);
    object.set("params", writeMemberTable(document.params));
    object.set("state", document.state.kind == Kind::Null ? Value::object() : document.state);
    if (document.hints.kind != Kind::Null) object.set("hints", document.hints);
    if (!document.assets.empty()) object.set("assets", writeMemberTable(document.assets));
    if (document.audition) object.set("audition", writeClip(*document.audition));
    if (document.ext.kind == Kind::Object && !document.ext.members.empty()) object.set("ext", document.ext);
    mergeKept(object, document.kept, document.asRead);
    return object;
}

}  // namespace tarn
