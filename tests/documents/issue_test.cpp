// Load issue builders and the first-error summary.
#include "documents/issue.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tarn {
namespace {

TEST(IssueBuilders, SetSeverityAndLeaveDetailEmptyAndIndexUnset) {
    IssueList list;
    addError(list, "zip-unreadable", "", "The archive cannot be read");
    addWarning(list, "wrong-type", "/seed", "Expected a string; kept as written, not applied");
    addNote(list, "spec-missing", "/spec", "No spec version, read as 1.0");
    ASSERT_EQ(list.size(), 3u);
    const Severity expected[] = {Severity::Error, Severity::Warning, Severity::Note};
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].severity, expected[i]) << i;
        EXPECT_TRUE(list[i].detail.empty()) << i;
        EXPECT_EQ(list[i].index, -1) << i;
    }
    EXPECT_EQ(list[1].id, "wrong-type");
    EXPECT_EQ(list[1].pointer, "/seed");
    EXPECT_EQ(list[1].message, "Expected a string; kept as written, not applied");
    EXPECT_EQ(list[2].id, "spec-missing");
}

TEST(IssueBuilders, PushIssueKeepsDetailAndAppendsInOrder) {
    IssueList list;
    addWarning(list, "first", "/a", "one");
    pushIssue(list, Severity::Error, "second", "/b", "two", "extra text");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].id, "first");
    EXPECT_EQ(list[1].id, "second");
    EXPECT_EQ(list[1].detail, "extra text");
    EXPECT_EQ(list[1].index, -1);
    EXPECT_EQ(list[1].severity, Severity::Error);
}

TEST(IssueBuilders, WholeDocumentIssueHasEmptyPointer) {
    IssueList list;
    addError(list, "not-a-document", "", "Expected a JSON object");
    EXPECT_EQ(list[0].pointer, "");
}

TEST(IssueSeverity, NumericValuesAreStable) {
    EXPECT_EQ(static_cast<std::uint32_t>(Severity::Note), 0u);
    EXPECT_EQ(static_cast<std::uint32_t>(Severity::Warning), 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(Severity::Error), 2u);
}

TEST(FirstErrorMessage, FallsBackWhenThereIsNoError) {
    IssueList list;
    EXPECT_EQ(firstErrorMessage(list, "fine"), "fine");
    addNote(list, "spec-missing", "/spec", "note");
    addWarning(list, "wrong-type", "/x", "warning");
    EXPECT_EQ(firstErrorMessage(list, "Could not read"), "Could not read");
}

TEST(FirstErrorMessage, TakesFirstErrorEvenBehindAWarning) {
    IssueList list;
    addWarning(list, "wrong-type", "/x", "a warning");
    addError(list, "document-missing", "", "first error");
    addError(list, "zip-unreadable", "", "second error");
    EXPECT_EQ(firstErrorMessage(list, "fallback"), "first error");
}

}  // namespace
}  // namespace tarn
