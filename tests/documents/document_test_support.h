// Test helpers for document readers: JSON from text, and issue lists as comparable lines.
#pragma once

#include "documents/issue.h"
#include "documents/json/reader.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace tarn::testing {

inline json::Value parseOrFail(std::string_view text) {
    json::Value value;
    std::string error;
    EXPECT_TRUE(json::parse(text, value, error)) << error << " in " << text;
    return value;
}

// One line per issue: severity letter, id, pointer and message, so a whole list compares at once.
inline std::vector<std::string> issueLines(const IssueList& issues) {
    std::vector<std::string> lines;
    for (const Issue& issue : issues) {
        const char* severity = issue.severity == Severity::Error ? "E" : issue.severity == Severity::Warning ? "W" : "N";
        lines.push_back(std::string(severity) + " " + issue.id + " " + issue.pointer + ": " + issue.message);
    }
    return lines;
}

}  // namespace tarn::testing
