// The common head of every document: "kind", "spec" and "extensions", read with their issues and written back.
#pragma once

#include "documents/issue.h"
#include "documents/json/value.h"
#include "documents/small_formats.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

struct DocumentHeader {
    std::string kind;                          // the "kind" text as read; empty when absent or not a string
    SpecVersion spec;                          // 1.0 unless a usable "spec" was read
    std::vector<ExtensionId> extensions;       // readable entries of "extensions", in order
    std::vector<json::Value> keptExtensions;   // unreadable entries, as written, in order
    bool extensionsRead = true;                // false when "extensions" is present but not an array
    bool valid = false;                        // an object of the expected kind
};

// Reads the head of `node`. Errors "not-a-document" and "wrong-kind" leave `valid` false and
// the document unread; everything else is a Note or Warning beside a valid header. A reader
// then records "kind" and "spec" as read, and "extensions" when `extensionsRead` is true.
DocumentHeader readDocumentHeader(const json::Value& node, std::string_view expectedKind, IssueList& issues);

// The "extensions" array: the id texts in order, then copies of the kept entries.
json::Value writeExtensions(const std::vector<ExtensionId>& extensions, const std::vector<json::Value>& keptExtensions);

}  // namespace tarn
