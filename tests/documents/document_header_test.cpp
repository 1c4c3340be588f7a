// The common document head: kind, spec version and extension list, with their issues.
#include "documents/document_header.h"

#include "documents/json/writer.h"

#include "tests/documents/document_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

using testing::issueLines;
using testing::parseOrFail;
using Lines = std::vector<std::string>;

DocumentHeader readHeader(const char* text, IssueList& issues, const char* kind = "clip") {
    return readDocumentHeader(parseOrFail(text), kind, issues);
}

TEST(DocumentHeader, NonObjectIsNotADocumentAndNothingElse) {
    IssueList issues;
    const DocumentHeader header = readHeader(R"([{"kind":"clip"}])", issues);
    EXPECT_FALSE(header.valid);
    EXPECT_EQ(issueLines(issues), Lines{"E not-a-document : Expected a JSON object"});
}

TEST(DocumentHeader, WrongOrMissingKindNamesBothKinds) {
    IssueList issues;
    EXPECT_FALSE(readHeader(R"({"kind":"clip","spec":"zzz"})", issues, "instance").valid);
    EXPECT_FALSE(readHeader(R"({"spec":"1.0"})", issues).valid);
    EXPECT_FALSE(readHeader(R"({"kind":5})", issues).valid);
    EXPECT_FALSE(readHeader("{\"kind\":\"cl\\nip\"}", issues).valid);
    EXPECT_EQ(issueLines(issues), (Lines{
                                      R"(E wrong-kind /kind: Expected kind "instance", found "clip")",
                                      R"(E wrong-kind /kind: Expected kind "clip", found "")",
                                      R"(E wrong-kind /kind: Expected kind "clip", found "")",
                                      // A control byte in the found kind cannot break the line.
                                      R"(E wrong-kind /kind: Expected kind "clip", found "cl\u000aip")",
                                  }));
}

TEST(DocumentHeader, SpecVersionsReadWarnedOrAssumed) {
    struct Case {
        const char* spec;  // the member's JSON text, or null when absent
        int major;
        int minor;
        Lines issues;
    };
    const Case cases[] = {
        {R"("1.0")", 1, 0, {}},
        {R"("1.9")", 1, 9, {}},
        {R"("0.3")", 0, 3, {}},
        {R"("2.0")", 2, 0,
         {"W spec-newer-major /spec: Document uses spec 2.0, newer than 1.0; known fields are read and the rest is kept"}},
        {R"("12.07")", 12, 7,
         {"W spec-newer-major /spec: Document uses spec 12.07, newer than 1.0; known fields are read and the rest is "
          "kept"}},
        {R"("2")", 1, 0, {"W bad-spec-version /spec: Unreadable spec version, read as 1.0"}},
        {"1.0", 1, 0, {"W bad-spec-version /spec: Unreadable spec version, read as 1.0"}},
        {R"("1.2.3")", 1, 0, {"W bad-spec-version /spec: Unreadable spec version, read as 1.0"}},
        {R"("-0.5")", 1, 0, {"W bad-spec-version /spec: Unreadable spec version, read as 1.0"}},
        {R"(" 1.0")", 1, 0, {"W bad-spec-version /spec: Unreadable spec version, read as 1.0"}},
        {nullptr, 1, 0, {"N spec-missing /spec: No spec version, read as 1.0"}},
    };
    for (const Case& c : cases) {
        const std::string text = c.spec ? std::string(R"({"kind":"clip","spec":)") + c.spec + "}" : R"({"kind":"clip"})";
        IssueList issues;
        const DocumentHeader header = readHeader(text.c_str(), issues);
        EXPECT_TRUE(header.valid) << text;
        EXPECT_EQ(header.kind, "clip");
        EXPECT_EQ(header.spec.major, c.major) << text;
        EXPECT_EQ(header.spec.minor, c.minor) << text;
        EXPECT_EQ(issueLines(issues), c.issues) << text;
    }
}

TEST(DocumentHeader, UnreadableExtensionEntriesAreKeptInOrderAndWrittenAfterTheIds) {
    IssueList issues;
    const DocumentHeader header =
        readHeader(R"({"kind":"clip","spec":"1.0","extensions":["com.tarnwerks.voices/1",5,"bad","a/b/2",{"x":1}]})",
                   issues);
    EXPECT_TRUE(header.valid);
    EXPECT_TRUE(header.extensionsRead);
    ASSERT_EQ(header.extensions.size(), 2u);
    EXPECT_EQ(extensionIdText(header.extensions[0]), "com.tarnwerks.voices/1");
    EXPECT_EQ(header.extensions[1].id, "a/b");
    EXPECT_EQ(header.extensions[1].major, 2);
    ASSERT_EQ(header.keptExtensions.size(), 3u);
    EXPECT_EQ(issueLines(issues), (Lines{
                                      "W bad-extension-id /extensions/1: Unreadable extension id, ignored and kept",
                                      "W bad-extension-id /extensions/2: Unreadable extension id, ignored and kept",
                                      "W bad-extension-id /extensions/4: Unreadable extension id, ignored and kept",
                                  }));
    EXPECT_EQ(json::write(writeExtensions(header.extensions, header.keptExtensions)),
              R"(["com.tarnwerks.voices/1","a/b/2",5,"bad",{"x":1}])");
}

TEST(DocumentHeader, ExtensionsThatAreNoListAreLeftToTheCarriedMembers) {
    IssueList issues;
    const DocumentHeader header = readHeader(R"({"kind":"clip","spec":"1.0","extensions":"com.x/1"})", issues);
    EXPECT_TRUE(header.valid);
    EXPECT_FALSE(header.extensionsRead);
    EXPECT_TRUE(header.extensions.empty());
    EXPECT_TRUE(header.keptExtensions.empty());
    EXPECT_EQ(issueLines(issues),
              Lines{"W wrong-type /extensions: Expected a list of extension ids; kept as written"});
}

TEST(DocumentHeader, DuplicateExtensionIdsAreKeptAsDeclared) {
    IssueList issues;
    const DocumentHeader header = readHeader(R"({"kind":"clip","spec":"1.0","extensions":["a/1","a/1","a/3"]})", issues);
    EXPECT_EQ(header.extensions.size(), 3u);
    EXPECT_TRUE(issues.empty());
}

}  // namespace
}  // namespace tarn
