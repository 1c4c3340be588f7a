// Checks shared by the document fuzz targets: a loud stop, and the rules every load issue follows.
#pragma once

#include "documents/issue.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarn::fuzzing {

[[noreturn]] inline void fail(const char* target, const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s: %s\n", target, what, detail.c_str());
    std::abort();
}

// Every issue has an id and a message, a rooted or empty pointer, and the builders' empty
// detail and index -1.
inline void checkIssues(const char* target, const IssueList& issues) {
    for (const Issue& issue : issues) {
        if (issue.id.empty() || issue.message.empty()) fail(target, "issue without id or message", issue.id);
        if (!issue.pointer.empty() && issue.pointer.front() != '/') fail(target, "pointer not rooted", issue.pointer);
        if (!issue.detail.empty() || issue.index != -1) fail(target, "builder left detail or index set", issue.id);
    }
}

}  // namespace tarn::fuzzing
