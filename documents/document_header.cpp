// Reading the kind, spec version and extension list of a document, and writing the extension list.
#include "documents/document_header.h"

#include "documents/json/reader.h"
#include "documents/json_pointer.h"

#include <utility>

namespace tarn {

DocumentHeader readDocumentHeader(const json::Value& node, std::string_view expectedKind, IssueList& issues) {
    DocumentHeader header;
    if (node.kind != json::Kind::Object) {
        addError(issues, "not-a-document", "", "Expected a JSON object");
        return header;
    }
    header.kind = json::stringOr(node, "kind", "");
    if (header.kind != expectedKind) {
        // Quoted through the JSON layer so that control bytes in the found kind cannot break
        // the one-line message.
        addError(issues, "wrong-kind", "/kind",
                 "Expected kind " + json::quoteForMessage(expectedKind) + ", found " +
                     json::quoteForMessage(header.kind));
        return header;
    }

    const std::string current = specVersionText(currentSpecVersion());
    if (const json::Value* spec = node.find("spec"); !spec) {
        addNote(issues, "spec-missing", "/spec", "No spec version, read as " + current);
    } else if (const auto version = spec->kind == json::Kind::String ? parseSpecVersion(spec->text) : std::nullopt) {
        header.spec = *version;
        if (version->major >= 2)
            addWarning(issues, "spec-newer-major", "/spec",
                       "Document uses spec " + spec->text + ", newer than " + current +
                           "; known fields are read and the rest is kept");
    } else {
        addWarning(issues, "bad-spec-version", "/spec", "Unreadable spec version, read as " + current);
    }

    if (const json::Value* extensions = node.find("extensions")) {
        if (extensions->kind != json::Kind::Array) {
            header.extensionsRead = false;
            addWarning(issues, "wrong-type", "/extensions", "Expected a list of extension ids; kept as written");
        } else {
            for (std::size_t i = 0; i < extensions->items.size(); ++i) {
                const json::Value& entry = extensions->items[i];
                auto id = entry.kind == json::Kind::String ? parseExtensionId(entry.text) : std::nullopt;
                if (id) {
                    header.extensions.push_back(std::move(*id));
                } else {
                    header.keptExtensions.push_back(entry);
                    addWarning(issues, "bad-extension-id", indexPointer("/extensions", i),
                               "Unreadable extension id, ignored and kept");
                }
            }
        }
    }
    header.valid = true;
    return header;
}

json::Value writeExtensions(const std::vector<ExtensionId>& extensions, const std::vector<json::Value>& keptExtensions) {
    json::Value list = json::Value::array();
    list.items.reserve(extensions.size() + keptExtensions.size());
    for (const ExtensionId& id : extensions) list.push(extensionIdText(id));
    for (const json::Value& entry : keptExtensions) list.push(entry);
    return list;
}

}  // namespace tarn
