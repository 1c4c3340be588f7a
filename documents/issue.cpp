// Builders for load issues and the one-line summary callers show to the user.
#include "documents/issue.h"

#include <utility>

namespace tarn {

void pushIssue(IssueList& list, Severity severity, std::string id, std::string pointer, std::string message,
               std::string detail) {
    Issue issue;
    issue.severity = severity;
    issue.id = std::move(id);
    issue.detail = std::move(detail);
    issue.pointer = std::move(pointer);
    issue.index = -1;
    issue.message = std::move(message);
    list.push_back(std::move(issue));
}

void addError(IssueList& list, std::string id, std::string pointer, std::string message) {
    pushIssue(list, Severity::Error, std::move(id), std::move(pointer), std::move(message), {});
}

void addWarning(IssueList& list, std::string id, std::string pointer, std::string message) {
    pushIssue(list, Severity::Warning, std::move(id), std::move(pointer), std::move(message), {});
}

void addNote(IssueList& list, std::string id, std::string pointer, std::string message) {
    pushIssue(list, Severity::Note, std::move(id), std::move(pointer), std::move(message), {});
}

std::string firstErrorMessage(const IssueList& list, const std::string& fallback) {
    for (const Issue& issue : list)
        if (issue.severity == Severity::Error) return issue.message;
    return fallback;
}

}  // namespace tarn
