// Load issues: what a reader could not use, reported as a list instead of stopping at the first fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

// How serious an issue is. Severities are for display only: whether a read result is usable
// is decided by the reader's return value (none or false), never by scanning the severities.
// An Error may stand beside a usable result when it concerns a nested part that was dropped.
enum class Severity : std::uint32_t {
    Note = 0,     // something the reader assumed; needs no action
    Warning = 1,  // a member was kept as written, left at its default, or an entry left out
    Error = 2,    // the document, archive or file as a whole (or a dropped nested part) is unusable
};

// One load issue. Readers append to a caller-owned list in the order they meet the cases;
// issues are never removed or reordered.
struct Issue {
    Severity severity = Severity::Note;
    std::string id;       // stable kebab-case identifier, such as "wrong-type"
    std::string detail;   // free text beside the message; the builders leave it empty
    std::string pointer;  // RFC 6901 JSON pointer; empty for the whole document or file
    std::int32_t index = -1;
    std::string message;  // one English sentence for the user
};

using IssueList = std::vector<Issue>;

void pushIssue(IssueList& list, Severity severity, std::string id, std::string pointer, std::string message,
               std::string detail);
void addError(IssueList& list, std::string id, std::string pointer, std::string message);
void addWarning(IssueList& list, std::string id, std::string pointer, std::string message);
void addNote(IssueList& list, std::string id, std::string pointer, std::string message);

// The message of the first Error in list order, or a copy of the fallback when there is none.
std::string firstErrorMessage(const IssueList& list, const std::string& fallback);

}  // namespace tarn
