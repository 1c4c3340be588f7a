// The clip writer: fixed member order, the normalisations of a read and write, and round trips to a fixed point.
#include "documents/clip_reader.h"
#include "documents/clip_writer.h"

#include "documents/json/writer.h"
#include "tests/documents/document_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

using testing::issueLines;
using testing::parseOrFail;

std::string roundTrip(const std::string& text, IssueList& issues) {
    std::optional<Clip> clip = readClip(parseOrFail(text), issues);
    EXPECT_TRUE(clip) << text;
    return clip ? json::write(writeClip(*clip)) : std::string();
}

std::string roundTrip(const std::string& text) {
    IssueList issues;
    return roundTrip(text, issues);
}

TEST(ClipWriter, EmptyClipWritesExactlyTheFiveMembers) {
    EXPECT_EQ(json::write(writeClip(Clip())), R"({"kind":"clip","spec":"1.0","length":4,"grid":"1/16","notes":[]})");
    EXPECT_EQ(roundTrip(R"({"kind":"clip"})"), R"({"kind":"clip","spec":"1.0","length":4,"grid":"1/16","notes":[]})");
}

TEST(ClipWriter, ClipBuiltInMemoryWritesShortestNumbersAndDeclaresWhatItUses) {
    Clip clip;
    clip.length = 0.1 + 0.2;
    clip.seed = 42;
    clip.formatVersion = -3;
    ClipNote note;
    note.at = 1.5;
    note.voice = "bass";
    note.tune = 0.25;
    note.rand = NoteRandom();
    note.expr.push_back({"bend", Expression()});
    note.expr[0].value.kind = 1;
    note.expr[0].value.points = {{0.0, 1.0}, {0.5, -1.0}};
    clip.notes.push_back(note);
    SwingSetting swing;
    swing.bar = 2;
    clip.swing.push_back(swing);
    clip.source = json::Value("x");
    clip.ext = json::Value::object();  // an empty object is left out
    EXPECT_EQ(json::write(writeClip(clip)),
              R"({"kind":"clip","spec":"1.0","formatVersion":-3,"seed":"000000000000002a",)"
              R"("extensions":["com.tarnwerks.voices/1"],"length":0.30000000000000004,"grid":"1/16",)"
              R"("swing":[{"bar":2,"grid":"1/16","amount":0.5}],"notes":[{"at":1.5,"voice":"bass","tune":0.25,)"
              R"("vel":1,"expr":{"bend":[[0,1],[0.5,-1]]},"rand":{}}],"source":"x"})");
}

TEST(ClipWriter, ChangedNumbersLoseTheirSpellingUnchangedOnesKeepIt) {
    IssueList issues;
    std::optional<Clip> clip =
        readClip(parseOrFail(R"({"kind":"clip","spec":"1.0","length":4.0,"tempo":[{"at":0.0,"bpm":120.00}]})"), issues);
    ASSERT_TRUE(clip);
    EXPECT_EQ(json::write(writeClip(*clip)),
              R"({"kind":"clip","spec":"1.0","length":4.0,"grid":"1/16","tempo":[{"at":0.0,"bpm":120.00}],"notes":[]})");
    clip->length = 8;
    clip->tempo[0].bpm = 96.5;
    EXPECT_EQ(json::write(writeClip(*clip)),
              R"({"kind":"clip","spec":"1.0","length":8,"grid":"1/16","tempo":[{"at":0.0,"bpm":96.5}],"notes":[]})");
}

TEST(ClipWriter, WrongKindsAreWrittenInTheWritersPlaceAndOthersAppended) {
    EXPECT_EQ(roundTrip(R"({"z":1,"kind":"clip","spec":"1.0","grid":"1/0","seed":42,"length":"4","notes":{"a":1}})"),
              R"({"kind":"clip","spec":"1.0","length":"4","grid":"1/0","notes":{"a":1},"z":1,"seed":42})");
}

TEST(ClipWriter, DefaultAndEmptyFormsAreDropped) {
    EXPECT_EQ(roundTrip(R"({"kind":"clip","spec":"1.0","id":"","plugin":"","extensions":[],"tempo":[],"meter":[],)"
                        R"("swing":[],"voices":{},"sounds":{},"lanes":[],"source":null,"ext":5,"notes":[)"
                        R"({"at":0,"pitch":1,"nudge":0,"voice":"","sound":"","set":{},"add":{},"expr":{},"slide":false,)"
                        R"("rand":{"vel":0,"nudge":0},"ext":[1]}]})"),
              R"({"kind":"clip","spec":"1.0","length":4,"grid":"1/16","notes":[{"at":0,"pitch":1,"vel":1,"rand":{}}]})");
}

// A clip as another tool might write it: unknown members at every level, every kind of
// unusable entry, and numbers spelled with trailing zeros.
const char* const kRichClip =
    R"({"kind":"clip","spec":"1.1","id":"riff","plugin":"tarnlode","formatVersion":2,"seed":"00000000DEADBEEF",)"
    R"("extensions":["com.tarnwerks.voices/1",9],"length":4.0,"grid":"1/16",)"
    R"("tempo":[{"at":0,"bpm":120.0,"ramp":"hold"},{"at":2,"bpm":0}],)"
    R"("meter":[{"at":0,"num":4,"den":4},{"at":0,"num":0,"den":4}],)"
    R"("swing":[{"bar":0,"grid":"1/8","voice":"bass","amount":0.50,"feel":"mpc"},{"bar":1}],)"
    R"("voices":{"bass":"Bass","odd":3},"sounds":{"sub":"Sub"},)"
    R"("notes":[{"at":0,"voice":"bass","len":0.5,"pitch":36,"vel":0.80,"sound":"sub",)"
    R"("set":{"cut":0.50,"mode":"saw","bad":[1]},"add":{"res":0.1},)"
    R"("expr":{"bend":[[0,0],[0.5,2.0]],"vib":0.50,"bad":[[0]],"a/b":"x"},)"
    R"("rand":{"vel":0.1,"pan":0.0,"params":{"cut":0.2},"spread":true},"slide":true,"ext":{"vendor":1},"colour":"red"},)"
    R"({"pitch":40},"rest",{"at":1.0,"nudge":0.0,"pitch":38,"vel":"loud","slide":false},)"
    R"({"at":2,"tune":-0.5,"len":1e-1}],)"
    R"("lanes":[{"id":"l","target":"cutoff","points":[{"at":0,"v":0.50,"curve":"linear","hold":1},{"at":1},)"
    R"({"at":2.0,"v":[1.0],"curve":"wiggle"}],"colour":"blue"},{"target":""}],)"
    R"("source":{"tool":"other","version":"9.1"},"ext":{"other.vendor":{"x":[1.0,2.50]}},)"
    R"("future":{"deep":[{"n":1.500}]}})";

TEST(ClipRoundTrip, RichClipComesBackWithOnlyTheNamedNormalisations) {
    IssueList issues;
    const std::string written = roundTrip(kRichClip, issues);
    std::string expected = kRichClip;
    const auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace(R"("spec":"1.1")", R"("spec":"1.0")");
    replace("DEADBEEF", "deadbeef");
    replace(R"(["com.tarnwerks.voices/1",9])",
            R"(["com.tarnwerks.voices/1","com.tarnwerks.per-note-params/1","com.tarnwerks.note-random/1",)"
            R"("com.tarnwerks.slide/1",9])");
    replace(R"({"at":1.0,"nudge":0.0,"pitch":38,"vel":"loud","slide":false})", R"({"at":1.0,"pitch":38,"vel":"loud"})");
    // The unvoiced note with a tune gains the default velocity and keeps its members in the
    // writer's order.
    replace(R"({"at":2,"tune":-0.5,"len":1e-1})", R"({"at":2,"len":1e-1,"tune":-0.5,"vel":1})");
    EXPECT_EQ(written, expected);

    IssueList again;
    EXPECT_EQ(roundTrip(written, again), written);

    const std::vector<std::string> lines = issueLines(issues);
    const std::vector<std::string> ids = [&] {
        std::vector<std::string> out;
        for (const Issue& issue : issues) out.push_back(issue.id + " " + issue.pointer);
        return out;
    }();
    EXPECT_EQ(ids, (std::vector<std::string>{
                       "bad-extension-id /extensions/1",
                       "bad-tempo /tempo/1",
                       "bad-meter /meter/1",
                       "bad-swing /swing/1",
                       "wrong-type /voices/odd",
                       "bad-expression /notes/0/expr/bad/0",
                       "bad-expression /notes/0/expr/a~1b",
                       "wrong-type /notes/0/set/bad",
                       "voiced-note-with-pitch /notes/0",
                       "note-without-at /notes/1",
                       "bad-note /notes/2",
                       "wrong-type /notes/3/vel",
                       "note-without-pitch /notes/4",
                       "tune-without-voice /notes/4",
                       "bad-lane-point /lanes/0/points/1",
                       "unknown-curve /lanes/0/points/2/curve",
                       "bad-lane /lanes/1",
                       "extension-undeclared /extensions",
                       "extension-undeclared /extensions",
                       "extension-undeclared /extensions",
                   }))
        << ::testing::PrintToString(lines);
    // The second reading declares everything the first one noted.
    for (const Issue& issue : again) EXPECT_NE(issue.id, "extension-undeclared");
}

TEST(ClipRoundTrip, IndentedAndCompactTextsReadTheSame) {
    const std::string compact = roundTrip(kRichClip);
    IssueList issues;
    std::optional<Clip> clip = readClip(parseOrFail(json::writeIndented(parseOrFail(compact))), issues);
    ASSERT_TRUE(clip);
    EXPECT_EQ(json::write(writeClip(*clip)), compact);
}

TEST(ClipWriter, UsableEntriesWriteTheirMembersInOrder) {
    EXPECT_EQ(json::write(writeSwingList({SwingSetting()})), R"([{"bar":0,"grid":"1/16","amount":0.5}])");
    MeterChange meter;
    meter.num = 7;
    meter.den = 8;
    EXPECT_EQ(json::write(writeMeterMap({meter})), R"([{"at":0,"num":7,"den":8}])");
    TempoChange kept;
    kept.keptAsWritten = true;
    kept.asRead = parseOrFail(R"({"bpm":-1})");
    EXPECT_EQ(json::write(writeTempoMap({TempoChange(), kept})), R"([{"at":0,"bpm":120},{"bpm":-1}])");
    ClipLane lane;
    lane.target = "cutoff";
    lane.instance = "i";
    LanePoint point;
    point.v = json::fromBool(true);
    point.curve = "step";
    lane.points.push_back(point);
    EXPECT_EQ(json::write(writeLanes({lane})),
              R"([{"target":"cutoff","instance":"i","points":[{"at":0,"v":true,"curve":"step"}]}])");
    NoteRandom random;
    random.nudge = 0.25;
    random.params.push_back({"p", json::Value(1.0)});
    EXPECT_EQ(json::write(writeNoteRandom(random)), R"({"nudge":0.25,"params":{"p":1}})");
    Expression number;
    number.number = 0.5;
    EXPECT_EQ(json::write(writeExpression(number)), "0.5");
    EXPECT_EQ(json::write(writeMemberTable({{"a", json::Value(1.0)}, {"b", json::Value("x")}, {"a", json::Value(2.0)}})),
              R"({"a":2,"b":"x"})");
}

}  // namespace
}  // namespace tarn
