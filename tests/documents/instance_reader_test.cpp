// Reading instance documents: defaults, typed members with warnings, params and assets, seeds and the audition clip.
#include "documents/instance.h"
#include "documents/json/writer.h"
#include "tests/documents/document_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace tarn {
namespace {

using ::testing::ElementsAre;
using tarn::testing::issueLines;
using tarn::testing::parseOrFail;

struct Read {
    std::optional<InstanceDocument> document;
    IssueList issues;
};

Read readText(std::string_view text) {
    Read r;
    r.document = readInstance(parseOrFail(text), r.issues);
    return r;
}

TEST(InstanceRead, KindAloneGivesDefaultsWithNoteAndWarning) {
    const Read r = readText(R"({"kind": "instance"})");
    ASSERT_TRUE(r.document);
    EXPECT_THAT(issueLines(r.issues), ElementsAre("N spec-missing /spec: No spec version, read as 1.0",
                                                  "W instance-without-plugin /plugin: An instance names its plugin"));
    EXPECT_EQ(r.document->formatVersion, 1);
    EXPECT_EQ(r.document->scope, "complete");
    EXPECT_EQ(r.document->spec.major, 1);
    EXPECT_EQ(r.document->spec.minor, 0);
    EXPECT_TRUE(r.document->plugin.empty());
    EXPECT_FALSE(r.document->seed);
    EXPECT_FALSE(r.document->audition);
    EXPECT_EQ(r.document->kept.kind, json::Kind::Object);
    EXPECT_TRUE(r.document->kept.members.empty());
    EXPECT_EQ(json::write(r.document->asRead), R"({"kind":"instance"})");
}

TEST(InstanceRead, UnusableHeadGivesNoDocument) {
    Read r = readText("[1, 2]");
    EXPECT_FALSE(r.document);
    EXPECT_THAT(issueLines(r.issues), ElementsAre("E not-a-document : Expected a JSON object"));

    r = readText(R"({"kind": "clip", "plugin": "x"})");
    EXPECT_FALSE(r.document);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre(R"(E wrong-kind /kind: Expected kind "instance", found "clip")"));
}

TEST(InstanceRead, KnownMembersAreTaken) {
    const Read r = readText(R"({"kind": "instance", "spec": "1.0", "id": "deep-sub", "plugin": "com.tarnwerks.bass",
        "formatVersion": 3, "pluginVersion": "0.1.3", "scope": "sound", "seed": "00000000000000FF",
        "extensions": ["com.tarnwerks.voices/1"], "meta": {"name": "Deep"}, "provenance": "factory",
        "state": [1, 2], "hints": {"colour": 1}, "ext": {"v": true}})");
    ASSERT_TRUE(r.document);
    EXPECT_TRUE(r.issues.empty()) << issueLines(r.issues)[0];
    const InstanceDocument& d = *r.document;
    EXPECT_EQ(d.id, "deep-sub");
    EXPECT_EQ(d.plugin, "com.tarnwerks.bass");
    EXPECT_EQ(d.formatVersion, 3);
    EXPECT_EQ(d.pluginVersion, "0.1.3");
    EXPECT_EQ(d.scope, "sound");
    EXPECT_EQ(d.seed, std::optional<std::uint64_t>(255));
    ASSERT_EQ(d.extensions.size(), 1u);
    EXPECT_EQ(d.extensions[0].id, "com.tarnwerks.voices");
    EXPECT_EQ(json::write(d.meta), R"({"name":"Deep"})");
    EXPECT_EQ(json::write(d.provenance), R"("factory")");  // any kind is taken whole
    EXPECT_EQ(json::write(d.state), "[1,2]");
    EXPECT_EQ(json::write(d.hints), R"({"colour":1})");
    EXPECT_EQ(json::write(d.ext), R"({"v":true})");
    EXPECT_TRUE(d.kept.members.empty());
}

TEST(InstanceRead, WrongKindsAreWarnedAndCarriedAlong) {
    const Read r = readText(R"({"kind": "instance", "id": 7, "plugin": 5, "formatVersion": "2",
        "pluginVersion": [], "scope": null, "params": [1], "assets": "none"})");
    ASSERT_TRUE(r.document);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("N spec-missing /spec: No spec version, read as 1.0",
                            "W wrong-type /id: Expected a string; kept as written, not applied",
                            "W wrong-type /plugin: Expected a string; kept as written, not applied",
                            "W instance-without-plugin /plugin: An instance names its plugin",
                            "W wrong-type /formatVersion: Expected a number; kept as written, not applied",
                            "W wrong-type /pluginVersion: Expected a string; kept as written, not applied",
                            "W wrong-type /scope: Expected a string; kept as written, not applied",
                            "W wrong-type /params: Expected an object; kept as written, not applied",
                            "W wrong-type /assets: Expected an object; kept as written, not applied"));
    const InstanceDocument& d = *r.document;
    EXPECT_EQ(d.formatVersion, 1);
    EXPECT_EQ(d.scope, "complete");
    EXPECT_TRUE(d.params.empty());
    EXPECT_EQ(json::write(d.kept),
              R"({"id":7,"plugin":5,"formatVersion":"2","pluginVersion":[],"scope":null,"params":[1],"assets":"none"})");
}

TEST(InstanceRead, FormatVersionTruncatesAndSaturates) {
    const auto formatVersionOf = [](const std::string& number) {
        const Read r = readText(R"({"kind": "instance", "plugin": "p", "formatVersion": )" + number + "}");
        return r.document ? r.document->formatVersion : -12345;
    };
    EXPECT_EQ(formatVersionOf("2.7"), 2);
    EXPECT_EQ(formatVersionOf("-2.7"), -2);
    EXPECT_EQ(formatVersionOf("1e300"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(formatVersionOf("-inf"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(formatVersionOf("-nan"), 0);
}

TEST(InstanceRead, SeedOfFifteenDigitsOrAnotherKindIsKeptAsWritten) {
    Read r = readText(R"({"kind": "instance", "plugin": "p", "seed": "123456789abcdef"})");
    ASSERT_TRUE(r.document);
    EXPECT_FALSE(r.document->seed);
    EXPECT_THAT(issueLines(r.issues), ElementsAre("N spec-missing /spec: No spec version, read as 1.0",
                                                  "W bad-seed /seed: A seed is 16 hex digits; kept as written, not used"));
    EXPECT_EQ(json::write(r.document->kept), R"({"seed":"123456789abcdef"})");

    r = readText(R"({"kind": "instance", "spec": "1.0", "plugin": "p", "seed": 42})");
    ASSERT_TRUE(r.document);
    EXPECT_FALSE(r.document->seed);
    EXPECT_THAT(issueLines(r.issues), ElementsAre("W bad-seed /seed: A seed is 16 hex digits; kept as written, not used"));
    EXPECT_EQ(json::write(r.document->kept), R"({"seed":42})");
}

TEST(InstanceRead, ParamsKeepEveryMemberAndWarnAboutOtherKinds) {
    const Read r = readText(R"({"kind": "instance", "spec": "1.0", "plugin": "p",
        "params": {"drive": 0.50, "mode": "fold", "a/b~": true, "curve": [1], "off": null}})");
    ASSERT_TRUE(r.document);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("W wrong-type /params/a~1b~0: Expected a value or choice id; kept as written, not applied",
                            "W wrong-type /params/curve: Expected a value or choice id; kept as written, not applied",
                            "W wrong-type /params/off: Expected a value or choice id; kept as written, not applied"));
    const auto& params = r.document->params;
    ASSERT_EQ(params.size(), 5u);
    EXPECT_EQ(params[0].key, "drive");
    EXPECT_EQ(params[0].value.numberText, "0.50");
    EXPECT_EQ(params[1].value.text, "fold");
    EXPECT_EQ(params[2].key, "a/b~");
    EXPECT_EQ(params[3].value.kind, json::Kind::Array);
    EXPECT_EQ(params[4].value.kind, json::Kind::Null);
    EXPECT_TRUE(r.document->kept.members.empty());
}

TEST(InstanceRead, AssetsKeepEveryMemberAndWarnAboutBadReferences) {
    const std::string digest(64, 'a');
    const Read r = readText(R"({"kind": "instance", "spec": "1.0", "plugin": "p", "assets": {
        "skin": "factory:skin", "wave": "asset:)" + digest + R"(", "upper": "asset:)" + std::string(64, 'A') + R"(",
        "short": "asset:abc", "bare": "factory:", "n": 3}})");
    ASSERT_TRUE(r.document);
    const std::string message = "Expected factory:<name> or asset:<sha256>; kept as written, not loaded";
    EXPECT_THAT(issueLines(r.issues), ElementsAre("W bad-asset-ref /assets/upper: " + message,
                                                  "W bad-asset-ref /assets/short: " + message,
                                                  "W bad-asset-ref /assets/bare: " + message,
                                                  "W bad-asset-ref /assets/n: " + message));
    const auto& assets = r.document->assets;
    ASSERT_EQ(assets.size(), 6u);
    EXPECT_EQ(assets[1].value.text, "asset:" + digest);
    EXPECT_EQ(assets[5].value.number, 3.0);
}

TEST(InstanceRead, MembersBuiltWithARepeatedKeyKeepOneEntryInTheFirstPlace) {
    json::Value node = parseOrFail(R"({"kind": "instance", "spec": "1.0", "plugin": "p", "params": {}, "assets": {}})");
    // The parser refuses repeated keys; a tree built in memory can still hold them.
    node.find("params")->append("x", 1.0);
    node.find("params")->append("y", 2.0);
    node.find("params")->append("x", 3.0);
    node.find("assets")->append("a", "factory:one");
    node.find("assets")->append("a", "factory:two");
    IssueList issues;
    const auto document = readInstance(node, issues);
    ASSERT_TRUE(document);
    ASSERT_EQ(document->params.size(), 2u);
    EXPECT_EQ(document->params[0].key, "x");
    EXPECT_EQ(document->params[0].value.number, 3.0);
    ASSERT_EQ(document->assets.size(), 1u);
    EXPECT_EQ(document->assets[0].value.text, "factory:two");
}

TEST(InstanceRead, AuditionClipIssuesStandUnderAudition) {
    const Read r = readText(R"({"kind": "instance", "spec": "1.0", "plugin": "p", "params": {"x": []},
        "audition": {"kind": "clip", "length": "4", "notes": [{"pitch": 40}, 5]}, "assets": {"q": 1}})");
    ASSERT_TRUE(r.document);
    ASSERT_TRUE(r.document->audition);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("W wrong-type /params/x: Expected a value or choice id; kept as written, not applied",
                            "W bad-asset-ref /assets/q: Expected factory:<name> or asset:<sha256>; kept as written, not loaded",
                            "N spec-missing /audition/spec: No spec version, read as 1.0",
                            "W wrong-type /audition/length: Expected a number; kept as written, not applied",
                            "W note-without-at /audition/notes/0: A note needs `at`; kept as written, not played",
                            "W bad-note /audition/notes/1: Expected a note object; kept as written, not played"));
    EXPECT_EQ(r.document->audition->notes.size(), 2u);
    EXPECT_TRUE(r.document->kept.members.empty());
}

TEST(InstanceRead, UnusableAuditionLeavesAUsableDocument) {
    Read r = readText(R"({"kind": "instance", "spec": "1.0", "plugin": "p", "audition": [1, 2]})");
    ASSERT_TRUE(r.document);
    EXPECT_FALSE(r.document->audition);
    EXPECT_EQ(r.document->plugin, "p");
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("E not-a-document /audition: Expected a JSON object",
                            "W bad-audition /audition: The audition is not a clip; kept as written, not offered"));
    EXPECT_EQ(json::write(r.document->kept), R"({"audition":[1,2]})");

    r = readText(R"({"kind": "instance", "spec": "1.0", "plugin": "p", "audition": {"kind": "instance"}})");
    ASSERT_TRUE(r.document);
    EXPECT_FALSE(r.document->audition);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre(R"(E wrong-kind /audition/kind: Expected kind "clip", found "instance")",
                            "W bad-audition /audition: The audition is not a clip; kept as written, not offered"));
    EXPECT_EQ(firstErrorMessage(r.issues, "none"), R"(Expected kind "clip", found "instance")");
}

TEST(InstanceRead, HeadIssuesComeFirstAndExtensionsAreKept) {
    const Read r = readText(R"({"plugin": 1, "kind": "instance", "spec": "2.0", "extensions": ["a/1", 5, "bad"]})");
    ASSERT_TRUE(r.document);
    EXPECT_THAT(issueLines(r.issues),
                ElementsAre("W spec-newer-major /spec: Document uses spec 2.0, newer than 1.0; known fields are read and "
                            "the rest is kept",
                            "W bad-extension-id /extensions/1: Unreadable extension id, ignored and kept",
                            "W bad-extension-id /extensions/2: Unreadable extension id, ignored and kept",
                            "W wrong-type /plugin: Expected a string; kept as written, not applied",
                            "W instance-without-plugin /plugin: An instance names its plugin"));
    EXPECT_EQ(r.document->spec.major, 2);
    ASSERT_EQ(r.document->extensions.size(), 1u);
    ASSERT_EQ(r.document->keptExtensions.size(), 2u);
    EXPECT_EQ(json::write(r.document->keptExtensions[1]), R"("bad")");
}

TEST(InstanceRead, ExtensionsThatAreNoArrayAreCarriedAlong) {
    const Read r = readText(R"({"kind": "instance", "spec": "1.0", "plugin": "p", "extensions": "a/1"})");
    ASSERT_TRUE(r.document);
    EXPECT_TRUE(r.document->extensions.empty());
    EXPECT_EQ(json::write(r.document->kept), R"({"extensions":"a/1"})");
}

TEST(InstanceDocumentModel, CopiesOwnTheirAuditionAndMembers) {
    Read r = readText(R"({"kind": "instance", "spec": "1.0", "plugin": "p", "params": {"x": 1},
        "audition": {"kind": "clip", "spec": "1.0", "notes": [{"at": 0, "pitch": 40}]}, "zz": 1})");
    ASSERT_TRUE(r.document && r.document->audition);
    InstanceDocument copy = *r.document;
    copy.audition->notes.clear();
    copy.params[0].value = json::Value(2.0);
    copy.kept.members.clear();
    EXPECT_EQ(r.document->audition->notes.size(), 1u);
    EXPECT_EQ(r.document->params[0].value.number, 1.0);
    EXPECT_EQ(r.document->kept.members.size(), 1u);

    InstanceDocument moved = std::move(*r.document);
    ASSERT_TRUE(moved.audition);
    EXPECT_EQ(moved.audition->notes.size(), 1u);
    EXPECT_EQ(json::write(moved.kept), R"({"zz":1})");
}

}  // namespace
}  // namespace tarn
