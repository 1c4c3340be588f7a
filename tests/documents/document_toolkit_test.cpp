// The read cursor and the write-back of carried members and number spellings.
#include "documents/kept_members.h"
#include "documents/read_cursor.h"

#include "documents/json/writer.h"
#include "tests/documents/document_test_support.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace tarn {
namespace {

using testing::issueLines;
using testing::parseOrFail;
using Lines = std::vector<std::string>;

TEST(ReadCursor, TypedLookupsRecordWhatWasTakenAndWarnOnceAboutTheWrongKind) {
    const json::Value node = parseOrFail(R"({"a":1.5,"b":"text","c":"4","d":[1],"e":true,"f~/g":1,"z":null})");
    IssueList issues;
    ReadCursor cursor(node, "/notes/2", issues);
    EXPECT_EQ(numberMember(cursor, "a"), 1.5);
    EXPECT_EQ(stringMember(cursor, "b"), "text");
    EXPECT_FALSE(numberMember(cursor, "c"));
    EXPECT_FALSE(numberMember(cursor, "missing"));
    ASSERT_NE(arrayMember(cursor, "d"), nullptr);
    EXPECT_EQ(memberOfKind(cursor, "e", json::Kind::Bool, "true or false")->flag, true);
    EXPECT_EQ(memberOfKind(cursor, "f~/g", json::Kind::Object, "an object"), nullptr);
    EXPECT_NE(cursor.find("z"), nullptr);  // found silently, not recorded
    EXPECT_EQ(cursor.readKeys, (std::vector<std::string>{"a", "b", "d", "e"}));
    EXPECT_EQ(issueLines(issues), (Lines{
                                      "W wrong-type /notes/2/c: Expected a number; kept as written, not applied",
                                      "W wrong-type /notes/2/f~0~1g: Expected an object; kept as written, not applied",
                                  }));
    EXPECT_EQ(json::write(cursor.unreadMembers()), R"({"c":"4","f~/g":1,"z":null})");
    cursor.markRead("z");
    EXPECT_EQ(json::write(cursor.unreadMembers()), R"({"c":"4","f~/g":1})");
}

TEST(ReadCursor, NonObjectHasNoMembers) {
    const json::Value node = parseOrFail("[1,2]");
    IssueList issues;
    ReadCursor cursor(node, "", issues);
    EXPECT_FALSE(numberMember(cursor, "0"));
    EXPECT_EQ(cursor.find("0"), nullptr);
    EXPECT_EQ(json::write(cursor.unreadMembers()), "{}");
    EXPECT_TRUE(issues.empty());
}

TEST(ReadCursor, LargeObjectsAreLookedUpThroughTheIndex) {
    json::Value node = json::Value::object();
    for (int i = 0; i < 100; ++i) {
        std::string key = "k";
        key += std::to_string(i);
        node.append(key, i);
    }
    IssueList issues;
    ReadCursor cursor(node, "", issues);
    EXPECT_EQ(numberMember(cursor, "k99"), 99.0);
    EXPECT_EQ(numberMember(cursor, "k0"), 0.0);
    EXPECT_EQ(cursor.find("k100"), nullptr);
    EXPECT_EQ(cursor.unreadMembers().members.size(), 98u);
}

TEST(MergeKept, KeptMembersReplaceInPlaceOrFollowAndSpellingsAreRestored) {
    const json::Value asRead = parseOrFail(R"({"x":[1.50,"y"],"length":"4","vel":0.50,"at":4.0})");
    json::Value written = json::Value::object();
    written.set("at", 4.0);
    written.set("length", 4.0);
    written.set("vel", 0.5);
    const json::Value kept = parseOrFail(R"({"x":[1.50,"y"],"length":"4"})");
    mergeKept(written, kept, asRead);
    EXPECT_EQ(json::write(written), R"({"at":4.0,"length":"4","vel":0.50,"x":[1.50,"y"]})");

    json::Value built = json::Value::object();
    built.set("a", 1.0);
    mergeKept(built, json::Value(), json::Value());  // built in memory: nothing kept, nothing read
    EXPECT_EQ(json::write(built), R"({"a":1})");
}

TEST(KeepNumberSpelling, EqualNumbersTakeTheTextAsReadChangedOnesTheShortest) {
    const json::Value asRead = parseOrFail(R"({"same":0.50,"float":0.6,"changed":1.50,"exp":1E2,"neg":-0.0,
        "list":[1.0,2.0],"short":[1.0],"deep":{"a":{"b":3.00}},"kind":"1.0"})");
    json::Value written = json::Value::object();
    written.set("same", 0.5);
    written.set("float", json::fromFloat(0.6f));
    written.set("changed", 1.25);
    written.set("exp", 100.0);
    written.set("neg", -0.0);
    json::Value list = json::Value::array();
    list.push(1.0);
    list.push(2.5);
    written.set("list", list);
    json::Value shortList = json::Value::array();
    shortList.push(1.0);
    shortList.push(2.0);
    written.set("short", shortList);  // lengths differ: not matched
    written.set("deep", parseOrFail(R"({"a":{"b":3}})"));
    written.set("kind", 1.0);  // read as a String: not matched
    written.set("new", 7.0);
    keepNumberSpelling(written, asRead);
    EXPECT_EQ(json::write(written),
              R"({"same":0.50,"float":0.6,"changed":1.25,"exp":1E2,"neg":-0.0,"list":[1.0,2.5],"short":[1,2],)"
              R"("deep":{"a":{"b":3.00}},"kind":1,"new":7})");
}

TEST(KeepNumberSpelling, FloatRuleNeedsAnExactFloatAndStaysDefinedBeyondTheFloatRange) {
    // 0.1 as a double is no float: the read 0.1000000001 only matches the same double.
    json::Value written(0.1);
    keepNumberSpelling(written, parseOrFail("0.1000000001"));
    EXPECT_EQ(json::write(written), "0.1");
    // 3 is a float; a read 3.00000001 narrows to the same float and keeps its text.
    json::Value three(3.0);
    keepNumberSpelling(three, parseOrFail("3.00000001"));
    EXPECT_EQ(json::write(three), "3.00000001");
    // A read beyond the float range is compared as a double only (no undefined narrowing).
    json::Value big(3.4028234663852886e38);
    keepNumberSpelling(big, parseOrFail("1e300"));
    EXPECT_EQ(big.number, 3.4028234663852886e38);
    json::Value infinite(-std::numeric_limits<double>::infinity());
    keepNumberSpelling(infinite, parseOrFail("-inf"));
    EXPECT_EQ(json::write(infinite), "-inf");
    json::Value notANumber(std::numeric_limits<double>::quiet_NaN());
    keepNumberSpelling(notANumber, parseOrFail("-nan"));
    EXPECT_EQ(json::write(notANumber), "null");
}

}  // namespace
}  // namespace tarn
