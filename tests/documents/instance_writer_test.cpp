// Writing instance documents: member order, the audition extension, kept members and number texts after a read.
#include "documents/instance.h"
#include "documents/json/writer.h"
#include "tests/documents/document_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

using tarn::testing::parseOrFail;

// Reads a document and writes it back as compact text.
std::string rewrite(std::string_view text) {
    IssueList issues;
    const auto document = readInstance(parseOrFail(text), issues);
    EXPECT_TRUE(document) << text;
    return document ? json::write(writeInstance(*document)) : std::string();
}

std::vector<std::string> keysOf(const json::Value& object) {
    std::vector<std::string> keys;
    for (const json::Member& member : object.members) keys.push_back(member.key);
    return keys;
}

TEST(InstanceWrite, KindAloneComesBackWithTheRequiredMembers) {
    EXPECT_EQ(rewrite(R"({"kind": "instance"})"),
              R"({"kind":"instance","spec":"1.0","plugin":"","formatVersion":1,"scope":"complete","params":{},"state":{}})");
}

TEST(InstanceWrite, DocumentBuiltInMemoryWritesEveryFieldInOrder) {
    InstanceDocument d;
    d.id = "deep";
    d.plugin = "com.tarnwerks.bass";
    d.formatVersion = 2;
    d.pluginVersion = "0.1.3";
    d.seed = 42;
    d.extensions = {ExtensionId{"com.tarnwerks.voices", 1}};
    d.keptExtensions = {json::Value(5.0)};
    d.meta = json::Value::object();
    d.meta.set("name", "Deep");
    d.provenance = "factory";
    d.params = {json::Member{"drive", json::fromFloat(0.6f)}, json::Member{"mode", json::Value("fold")}};
    d.state = json::Value::array();
    d.hints = json::Value::object();
    d.assets = {json::Member{"skin", json::Value("factory:skin")}};
    d.audition = Clip{};
    d.ext = json::Value::object();
    d.ext.set("v", 1);
    const json::Value written = writeInstance(d);
    EXPECT_EQ(keysOf(written),
              (std::vector<std::string>{"kind", "spec", "id", "plugin", "formatVersion", "pluginVersion", "scope", "seed",
                                        "extensions", "meta", "provenance", "params", "state", "hints", "assets",
                                        "audition", "ext"}));
    EXPECT_EQ(json::write(written),
              R"({"kind":"instance","spec":"1.0","id":"deep","plugin":"com.tarnwerks.bass","formatVersion":2,)"
              R"("pluginVersion":"0.1.3","scope":"complete","seed":"000000000000002a",)"
              R"("extensions":["com.tarnwerks.voices/1","com.tarnwerks.audition/1",5],"meta":{"name":"Deep"},)"
              R"("provenance":"factory","params":{"drive":0.6,"mode":"fold"},"state":[],"hints":{},)"
              R"("assets":{"skin":"factory:skin"},)"
              R"("audition":{"kind":"clip","spec":"1.0","length":4,"grid":"1/16","notes":[]},"ext":{"v":1}})");
}

TEST(InstanceWrite, WrongKindOfPluginReplacesTheEmptyOneInPlace) {
    EXPECT_EQ(rewrite(R"({"kind": "instance", "spec": "1.0", "plugin": 5, "scope": "sound"})"),
              R"({"kind":"instance","spec":"1.0","plugin":5,"formatVersion":1,"scope":"sound","params":{},"state":{}})");
}

TEST(InstanceWrite, FormatVersionKeepsItsTextOnlyWhileItsValueStands) {
    EXPECT_NE(rewrite(R"({"kind": "instance", "formatVersion": 1.0})").find(R"("formatVersion":1.0,)"), std::string::npos);
    EXPECT_NE(rewrite(R"({"kind": "instance", "formatVersion": 2.7})").find(R"("formatVersion":2,)"), std::string::npos);

    IssueList issues;
    auto document = readInstance(parseOrFail(R"({"kind": "instance", "formatVersion": 1.0})"), issues);
    ASSERT_TRUE(document);
    document->formatVersion = 3;
    EXPECT_NE(json::write(writeInstance(*document)).find(R"("formatVersion":3,)"), std::string::npos);
}

TEST(InstanceWrite, SeedsKeepTheirPlaceOrGoToTheEndAsWritten) {
    EXPECT_EQ(rewrite(R"({"seed": "123456789abcdef", "kind": "instance", "spec": "1.0", "plugin": "p"})"),
              R"({"kind":"instance","spec":"1.0","plugin":"p","formatVersion":1,"scope":"complete","params":{},)"
              R"("state":{},"seed":"123456789abcdef"})");
    EXPECT_EQ(rewrite(R"({"seed": "00000000000000AB", "kind": "instance", "spec": "1.0", "plugin": "p"})"),
              R"({"kind":"instance","spec":"1.0","plugin":"p","formatVersion":1,"scope":"complete",)"
              R"("seed":"00000000000000ab","params":{},"state":{}})");
}

TEST(InstanceWrite, NewerSpecIsWrittenAsTheCurrentOne) {
    EXPECT_EQ(rewrite(R"({"kind": "instance", "spec": "2.0", "plugin": "p"})").substr(0, 31),
              R"({"kind":"instance","spec":"1.0")");
}

TEST(InstanceWrite, ExtIsWrittenOnlyAsAnObjectWithMembers) {
    const std::string tail = R"("params":{},"state":{})";
    EXPECT_EQ(rewrite(R"({"kind": "instance", "plugin": "p", "ext": "vendor"})").find("ext"), std::string::npos);
    EXPECT_EQ(rewrite(R"({"kind": "instance", "plugin": "p", "ext": {}})").find("ext"), std::string::npos);
    EXPECT_NE(rewrite(R"({"kind": "instance", "plugin": "p", "ext": {"a": 1}})").find(tail + R"(,"ext":{"a":1}})"),
              std::string::npos);
}

TEST(InstanceWrite, AuditionDeclaresItsExtensionOnce) {
    const std::string clip = R"({"kind": "clip", "spec": "1.0", "notes": []})";
    std::string written = rewrite(R"({"kind": "instance", "plugin": "p", "audition": )" + clip + "}");
    EXPECT_NE(written.find(R"("extensions":["com.tarnwerks.audition/1"])"), std::string::npos) << written;

    written = rewrite(R"({"kind": "instance", "plugin": "p", "extensions": ["com.tarnwerks.audition/2"], "audition": )" +
                      clip + "}");
    EXPECT_NE(written.find(R"("extensions":["com.tarnwerks.audition/2"])"), std::string::npos) << written;

    // Without an audition nothing is added.
    written = rewrite(R"({"kind": "instance", "plugin": "p"})");
    EXPECT_EQ(written.find("extensions"), std::string::npos);
}

TEST(InstanceWrite, UnusableAuditionComesBackUnchangedAtTheEnd) {
    EXPECT_EQ(rewrite(R"({"kind": "instance", "audition": [1, 2.50], "spec": "1.0", "plugin": "p", "hints": 1})"),
              R"({"kind":"instance","spec":"1.0","plugin":"p","formatVersion":1,"scope":"complete","params":{},)"
              R"("state":{},"hints":1,"audition":[1,2.50]})");
}

TEST(InstanceWrite, UnknownMembersFollowTheKnownOnesInReadOrder) {
    EXPECT_EQ(rewrite(R"({"zeta": 1, "kind": "instance", "alpha": {"b": 0.10}, "params": [3], "spec": "1.0",
                         "plugin": "p", "mid": null})"),
              R"({"kind":"instance","spec":"1.0","plugin":"p","formatVersion":1,"scope":"complete","params":[3],)"
              R"("state":{},"zeta":1,"alpha":{"b":0.10},"mid":null})");
}

TEST(InstanceWrite, ReadAndWrittenBackKeepsEveryMemberAndNumberText) {
    const std::string text =
        R"({"kind":"instance","spec":"1.0","id":"x","plugin":"com.tarnwerks.bass","formatVersion":1.0,)"
        R"("pluginVersion":"0.1.3","scope":"complete","seed":"0123456789abcdef",)"
        R"("extensions":["com.tarnwerks.audition/1","bad"],"meta":{"name":"Deep","rating":4.50},)"
        R"("provenance":{"from":"factory"},"params":{"drive":0.60,"cutoff":1e3,"mode":"fold","odd":[1.0]},)"
        R"("state":{"curves":[[0.0,0.25,1E0]]},"hints":{"w":1.5e0},"assets":{"skin":"factory:skin","bad":2.0},)"
        R"("audition":{"kind":"clip","spec":"1.0","length":8.0,"grid":"1/16","notes":[{"at":0.0,"pitch":40,"vel":1.00}],)"
        R"("later":true},"ext":{"k":0.5},"future":{"x":1.10}})";
    EXPECT_EQ(rewrite(text), text);
}

TEST(InstanceWrite, ChangedNumbersAreWrittenByTheShortestRule) {
    IssueList issues;
    auto document = readInstance(
        parseOrFail(R"({"kind":"instance","spec":"1.0","plugin":"p","params":{"a":0.50,"b":0.60}})"), issues);
    ASSERT_TRUE(document);
    document->params[0].value = json::Value(0.75);
    document->params[1].value = json::fromFloat(0.6f);  // the same value as a float keeps its text
    EXPECT_NE(json::write(writeInstance(*document)).find(R"("params":{"a":0.75,"b":0.60})"), std::string::npos);
}

}  // namespace
}  // namespace tarn
