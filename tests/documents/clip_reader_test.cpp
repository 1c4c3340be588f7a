// The clip reader: every issue with its id, pointer, message and place in the list, and what each entry keeps.
#include "documents/clip_reader.h"

#include "documents/json/writer.h"
#include "tests/documents/document_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tarn {
namespace {

using testing::issueLines;
using testing::parseOrFail;
using Lines = std::vector<std::string>;

// A clip document with the given members after "kind" and "spec".
Clip readOrFail(const std::string& members, IssueList& issues) {
    const std::string text = R"({"kind":"clip","spec":"1.0")" + (members.empty() ? "" : "," + members) + "}";
    std::optional<Clip> clip = readClip(parseOrFail(text), issues);
    EXPECT_TRUE(clip) << text;
    return clip ? *clip : Clip();
}

TEST(ClipReader, NoClipWithoutAUsableHeader) {
    IssueList issues;
    EXPECT_FALSE(readClip(parseOrFail("[]"), issues));
    EXPECT_FALSE(readClip(parseOrFail(R"({"kind":"instance","seed":5})"), issues));
    EXPECT_EQ(issueLines(issues), (Lines{
                                      "E not-a-document : Expected a JSON object",
                                      R"(E wrong-kind /kind: Expected kind "clip", found "instance")",
                                  }));
}

TEST(ClipReader, HeadMembersReadOrKeptAsWritten) {
    IssueList issues;
    const Clip clip = readOrFail(
        R"("id":"c1","plugin":"tarnlode","formatVersion":3.9,"seed":"000000000000002A","length":8.5,"grid":"3/8",)"
        R"("source":null,"ext":[1],"extensions":["com.tarnwerks.slide/2",7],"zz":{"a":1})",
        issues);
    EXPECT_EQ(clip.id, "c1");
    EXPECT_EQ(clip.plugin, "tarnlode");
    EXPECT_EQ(clip.formatVersion, 3);
    EXPECT_EQ(clip.seed, 42u);
    EXPECT_EQ(clip.length, 8.5);
    EXPECT_EQ(clip.grid, "3/8");
    EXPECT_EQ(clip.source.kind, json::Kind::Null);
    EXPECT_EQ(json::write(clip.ext), "[1]");
    ASSERT_EQ(clip.extensions.size(), 1u);
    ASSERT_EQ(clip.keptExtensions.size(), 1u);
    EXPECT_EQ(json::write(clip.kept), R"({"zz":{"a":1}})");
    EXPECT_EQ(clip.asRead.find("zz")->kind, json::Kind::Object);
    EXPECT_EQ(issueLines(issues),
              Lines{"W bad-extension-id /extensions/1: Unreadable extension id, ignored and kept"});
}

TEST(ClipReader, BadHeadMembersWarnInDocumentOrderAndStayAmongTheKept) {
    IssueList issues;
    const Clip clip = readOrFail(R"("id":7,"formatVersion":"3","seed":42,"length":"4","grid":"1/0")", issues);
    EXPECT_TRUE(clip.id.empty());
    EXPECT_FALSE(clip.formatVersion);
    EXPECT_FALSE(clip.seed);
    EXPECT_EQ(clip.length, 4.0);
    EXPECT_EQ(clip.grid, "1/16");
    EXPECT_EQ(json::write(clip.kept), R"({"id":7,"formatVersion":"3","seed":42,"length":"4","grid":"1/0"})");
    EXPECT_EQ(issueLines(issues), (Lines{
                                      "W wrong-type /id: Expected a string; kept as written, not applied",
                                      "W wrong-type /formatVersion: Expected a number; kept as written, not applied",
                                      "W bad-seed /seed: A seed is 16 hex digits; kept as written, not used",
                                      "W wrong-type /length: Expected a number; kept as written, not applied",
                                      "W bad-grid /grid: Unreadable grid; kept as written",
                                  }));
}

TEST(ClipReader, FormatVersionSaturatesInsteadOfOverflowing) {
    IssueList issues;
    EXPECT_EQ(readOrFail(R"("formatVersion":1e300)", issues).formatVersion, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(readOrFail(R"("formatVersion":-inf)", issues).formatVersion, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(readOrFail(R"("formatVersion":-nan)", issues).formatVersion, 0);
    EXPECT_EQ(readOrFail(R"("formatVersion":-2.9)", issues).formatVersion, -2);
    EXPECT_TRUE(issues.empty());
}

TEST(ClipGrid, FractionsOfAWholeNoteInBeats) {
    EXPECT_EQ(parseGrid("1/16"), 0.25);
    EXPECT_EQ(parseGrid("1/4"), 1.0);
    EXPECT_EQ(parseGrid("3/8"), 1.5);
    EXPECT_EQ(parseGrid("1/3"), 4.0 / 3.0);
    EXPECT_EQ(parseGrid("2147483647/1"), 2147483647.0 * 4.0);
    for (const char* bad : {"", "1", "1/0", "0/4", "-1/4", "1/-4", "1/4/2", " 1/4", "1/4 ", "1 /4", "+1/4", "1/+4",
                            "1.0/4", "/4", "1/", "2147483648/1", "a/b"})
        EXPECT_FALSE(parseGrid(bad)) << bad;
}

TEST(ClipReader, TempoEntriesUsableOrKeptWithTheirMemberWarningsFirst) {
    IssueList issues;
    const Clip clip = readOrFail(
        R"("tempo":[{"at":0,"bpm":0},{"at":4,"bpm":96,"x":1},{"at":1,"bpm":"fast"},3,{"bpm":120},{"at":2,"bpm":-inf}])",
        issues);
    ASSERT_EQ(clip.tempo.size(), 6u);
    EXPECT_TRUE(clip.tempo[0].keptAsWritten);
    EXPECT_EQ(clip.tempo[0].bpm, 120.0);
    EXPECT_EQ(clip.tempo[0].at, 0.0);
    EXPECT_EQ(json::write(clip.tempo[0].asRead), R"({"at":0,"bpm":0})");
    EXPECT_FALSE(clip.tempo[1].keptAsWritten);
    EXPECT_EQ(clip.tempo[1].at, 4.0);
    EXPECT_EQ(clip.tempo[1].bpm, 96.0);
    EXPECT_EQ(json::write(clip.tempo[1].kept), R"({"x":1})");
    for (std::size_t i : {2u, 3u, 4u, 5u}) EXPECT_TRUE(clip.tempo[i].keptAsWritten) << i;
    const std::string bad = "Expected {at, bpm > 0}; kept as written, not used";
    EXPECT_EQ(issueLines(issues), (Lines{
                                      "W bad-tempo /tempo/0: " + bad,
                                      "W wrong-type /tempo/2/bpm: Expected a number; kept as written, not applied",
                                      "W bad-tempo /tempo/2: " + bad,
                                      "W bad-tempo /tempo/3: " + bad,
                                      "W bad-tempo /tempo/4: " + bad,
                                      "W bad-tempo /tempo/5: " + bad,
                                  }));
}

TEST(ClipReader, MeterEntriesTruncateAndSaturate) {
    IssueList issues;
    const Clip clip = readOrFail(
        R"("meter":[{"at":0,"num":7.9,"den":8},{"at":0,"num":4,"den":0.5},{"at":1,"num":1e300,"den":3},)"
        R"({"at":2,"num":4},{"at":3,"num":4294967296,"den":4,"y":[]}])",
        issues);
    ASSERT_EQ(clip.meter.size(), 5u);
    EXPECT_EQ(clip.meter[0].num, 7);
    EXPECT_EQ(clip.meter[0].den, 8);
    EXPECT_TRUE(clip.meter[1].keptAsWritten);
    EXPECT_EQ(clip.meter[1].num, 4);
    EXPECT_EQ(clip.meter[1].den, 4);
    EXPECT_EQ(clip.meter[2].num, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(clip.meter[2].den, 3);
    EXPECT_TRUE(clip.meter[3].keptAsWritten);
    EXPECT_EQ(clip.meter[4].num, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(json::write(clip.meter[4].kept), R"({"y":[]})");
    const std::string bad = "Expected {at, num, den}; kept as written, not used";
    EXPECT_EQ(issueLines(issues), (Lines{"W bad-meter /meter/1: " + bad, "W bad-meter /meter/3: " + bad}));
}

TEST(ClipReader, SwingSettingsNeedBarAmountAndAReadableGridIfAny) {
    IssueList issues;
    const Clip clip = readOrFail(
        R"("swing":[{"bar":1.5,"amount":0.6},{"bar":2,"amount":0.7,"grid":"1/8","voice":"bass"},)"
        R"({"bar":3,"amount":0.5,"grid":8},{"bar":4,"amount":0.5,"grid":"1/0"},{"amount":0.5},"x",)"
        R"({"bar":5,"amount":0.5,"voice":6}])",
        issues);
    ASSERT_EQ(clip.swing.size(), 7u);
    EXPECT_EQ(clip.swing[0].bar, 1);
    EXPECT_EQ(clip.swing[0].grid, "1/16");
    EXPECT_EQ(clip.swing[0].amount, 0.6);
    EXPECT_EQ(clip.swing[1].grid, "1/8");
    EXPECT_EQ(clip.swing[1].voice, "bass");
    EXPECT_FALSE(clip.swing[2].keptAsWritten);
    EXPECT_EQ(clip.swing[2].grid, "1/16");
    EXPECT_EQ(json::write(clip.swing[2].kept), R"({"grid":8})");
    for (std::size_t i : {3u, 4u, 5u}) {
        EXPECT_TRUE(clip.swing[i].keptAsWritten) << i;
        EXPECT_EQ(clip.swing[i].amount, 0.5);
        EXPECT_EQ(clip.swing[i].grid, "1/16");
    }
    EXPECT_TRUE(clip.swing[6].voice.empty());
    EXPECT_EQ(json::write(clip.swing[6].kept), R"({"voice":6})");
    const std::string bad = "Expected {bar, grid, amount} with a readable grid; kept as written, not used";
    EXPECT_EQ(issueLines(issues), (Lines{
                                      "W wrong-type /swing/2/grid: Expected a string; kept as written, not applied",
                                      "W bad-swing /swing/3: " + bad,
                                      "W bad-swing /swing/4: " + bad,
                                      "W bad-swing /swing/5: " + bad,
                                      "W wrong-type /swing/6/voice: Expected a string; kept as written, not applied",
                                      // The swing voice uses the voices extension, undeclared here.
                                      "N extension-undeclared /extensions: The clip uses com.tarnwerks.voices/1 "
                                      "without declaring it; read as declared",
                                  }));
}

TEST(ClipReader, ListsOfTheWrongKindAreKeptWhole) {
    IssueList issues;
    const Clip clip = readOrFail(R"("swing":{"bar":1},"tempo":5,"notes":{},"lanes":"x","voices":[])", issues);
    EXPECT_TRUE(clip.swing.empty());
    EXPECT_EQ(json::write(clip.kept), R"({"swing":{"bar":1},"tempo":5,"notes":{},"lanes":"x","voices":[]})");
    EXPECT_EQ(issueLines(issues), (Lines{
                                      "W wrong-type /tempo: Expected an array; kept as written, not applied",
                                      "W wrong-type /swing: Expected an array; kept as written, not applied",
                                      "W wrong-type /voices: Expected an object; kept as written, not applied",
                                      "W wrong-type /notes: Expected an array; kept as written, not applied",
                                      "W wrong-type /lanes: Expected an array; kept as written, not applied",
                                  }));
}

TEST(ClipReader, NameTablesKeepEveryMemberAndWarnAboutNonNames) {
    IssueList issues;
    const Clip clip = readOrFail(R"("voices":{"bass":"Bass","lead":3},"sounds":{"a/b":null},)"
                                 R"("extensions":["com.tarnwerks.voices/1"])",
                                 issues);
    ASSERT_EQ(clip.voices.size(), 2u);
    EXPECT_EQ(clip.voices[0].key, "bass");
    EXPECT_EQ(clip.voices[1].key, "lead");
    EXPECT_EQ(clip.voices[1].value.number, 3.0);
    ASSERT_EQ(clip.sounds.size(), 1u);
    EXPECT_EQ(issueLines(issues), (Lines{
                                      "W wrong-type /voices/lead: Expected a name; kept as written, not applied",
                                      "W wrong-type /sounds/a~1b: Expected a name; kept as written, not applied",
                                  }));
}

TEST(ClipReader, UnusableNotesStayInPlaceKeptAsWritten) {
    IssueList issues;
    const Clip clip = readOrFail(R"("notes":[{"pitch":40},5,{"at":"1","pitch":40,"vel":0.5},{"at":1,"pitch":40}])", issues);
    ASSERT_EQ(clip.notes.size(), 4u);
    for (std::size_t i : {0u, 1u, 2u}) {
        EXPECT_TRUE(clip.notes[i].keptAsWritten) << i;
        EXPECT_FALSE(clip.notes[i].pitch) << i;
        EXPECT_EQ(clip.notes[i].vel, 1.0) << i;
    }
    EXPECT_EQ(json::write(clip.notes[0].asRead), R"({"pitch":40})");
    EXPECT_EQ(json::write(clip.notes[1].asRead), "5");
    EXPECT_FALSE(clip.notes[3].keptAsWritten);
    EXPECT_EQ(clip.notes[3].pitch, 40.0);
    EXPECT_EQ(issueLines(issues), (Lines{
                                      "W note-without-at /notes/0: A note needs `at`; kept as written, not played",
                                      "W bad-note /notes/1: Expected a note object; kept as written, not played",
                                      "W wrong-type /notes/2/at: Expected a number; kept as written, not applied",
                                      "W note-without-at /notes/2: A note needs `at`; kept as written, not played",
                                  }));
}

TEST(ClipReader, NoteChecksForVoicePitchAndTune) {
    IssueList issues;
    const Clip clip = readOrFail(
        R"("extensions":["com.tarnwerks.voices/1"],"notes":[{"at":0,"voice":"bass","pitch":36,"tune":0.5},)"
        R"({"at":1,"tune":0.5},{"at":2,"voice":"","pitch":38},{"at":3,"voice":"","tune":1}])",
        issues);
    ASSERT_EQ(clip.notes.size(), 4u);
    EXPECT_EQ(clip.notes[0].voice, "bass");
    EXPECT_EQ(clip.notes[0].pitch, 36.0);  // kept, to be written back
    EXPECT_EQ(clip.notes[1].tune, 0.5);
    EXPECT_EQ(issueLines(issues),
              (Lines{
                  "W voiced-note-with-pitch /notes/0: A voiced note carries `voice`, never `pitch`; pitch ignored",
                  "W note-without-pitch /notes/1: An unvoiced note needs `pitch`; not played",
                  "W tune-without-voice /notes/1: `tune` belongs to a voiced note; ignored",
                  "W note-without-pitch /notes/3: An unvoiced note needs `pitch`; not played",
                  "W tune-without-voice /notes/3: `tune` belongs to a voiced note; ignored",
              }));
}

TEST(ClipReader, NoteFieldsAndTheirWrongTypesInReadingOrder) {
    IssueList issues;
    const Clip clip = readOrFail(
        R"("extensions":["com.tarnwerks.voices/1","com.tarnwerks.per-note-params/1","com.tarnwerks.note-random/1",)"
        R"("com.tarnwerks.slide/1"],"notes":[{"slide":1,"sound":"sub","set":{"cut":0.5,"mode":"saw","x":[1]},)"
        R"("add":{"res":0.1,"y":"z"},"rand":{"vel":0.1,"nudge":0.2,"pan":0.3,"params":{"p":1,"q":true},"r":1},)"
        R"("voice":"bass","ext":"e","at":2,"nudge":0.05,"len":1.5,"vel":"loud","rel":0.25,"pitch":"C2","tune":-0.5,)"
        R"("expr":{"bend":[[0,0],[1,2]],"vib":0.3},"extra":{"k":1}},{"at":3,"pitch":40,"slide":true,"set":5}])",
        issues);
    ASSERT_EQ(clip.notes.size(), 2u);
    const ClipNote& note = clip.notes[0];
    EXPECT_FALSE(note.keptAsWritten);
    EXPECT_EQ(note.at, 2.0);
    EXPECT_EQ(note.nudge, 0.05);
    EXPECT_EQ(note.len, 1.5);
    EXPECT_EQ(note.vel, 1.0);
    EXPECT_EQ(note.rel, 0.25);
    EXPECT_FALSE(note.pitch);
    EXPECT_EQ(note.tune, -0.5);
    EXPECT_EQ(note.voice, "bass");
    EXPECT_EQ(note.sound, "sub");
    EXPECT_FALSE(note.slide);
    ASSERT_EQ(note.set.size(), 3u);
    EXPECT_EQ(note.set[1].value.text, "saw");
    ASSERT_EQ(note.add.size(), 2u);
    ASSERT_TRUE(note.rand);
    EXPECT_EQ(note.rand->vel, 0.1);
    EXPECT_EQ(note.rand->nudge, 0.2);
    EXPECT_EQ(note.rand->pan, 0.3);
    EXPECT_EQ(note.rand->params.size(), 2u);
    EXPECT_EQ(json::write(note.rand->kept), R"({"r":1})");
    ASSERT_EQ(note.expr.size(), 2u);
    EXPECT_EQ(note.expr[0].name, "bend");
    EXPECT_EQ(note.expr[0].value.kind, 1);
    ASSERT_EQ(note.expr[0].value.points.size(), 2u);
    EXPECT_EQ(note.expr[0].value.points[1].beatsFromNoteStart, 1.0);
    EXPECT_EQ(note.expr[0].value.points[1].value, 2.0);
    EXPECT_EQ(note.expr[1].value.kind, 0);
    EXPECT_EQ(note.expr[1].value.number, 0.3);
    EXPECT_EQ(json::write(note.ext), R"("e")");
    EXPECT_EQ(json::write(note.kept), R"({"slide":1,"vel":"loud","pitch":"C2","extra":{"k":1}})");
    EXPECT_TRUE(clip.notes[1].slide);
    EXPECT_EQ(issueLines(issues),
              (Lines{
                  "W wrong-type /notes/0/vel: Expected a number; kept as written, not applied",
                  "W wrong-type /notes/0/pitch: Expected a number; kept as written, not applied",
                  "W wrong-type /notes/0/rand/params/q: Expected a number; kept as written, not applied",
                  "W wrong-type /notes/0/set/x: Expected a value or choice id; kept as written, not applied",
                  "W wrong-type /notes/0/add/y: Expected a number; kept as written, not applied",
                  "W wrong-type /notes/0/slide: Expected true or false; kept as written, not applied",
                  "W wrong-type /notes/1/set: Expected an object; kept as written, not applied",
              }));
}

TEST(ClipReader, ExpressionsUsableOrKeptAsWritten) {
    IssueList issues;
    const Clip clip = readOrFail(
        R"("notes":[{"at":0,"pitch":40,"expr":{"a/b":[[0,1],[2]],"c~d":"x","e":[],"f":[[1,0.5],[0,0]],"g":[[0,"1"]],)"
        R"("h":[5],"i":[[0,1,2]]}}])",
        issues);
    const std::vector<NamedValues>& expr = clip.notes.at(0).expr;
    ASSERT_EQ(expr.size(), 7u);
    EXPECT_TRUE(expr[0].value.keptAsWritten);
    EXPECT_TRUE(expr[0].value.points.empty());
    EXPECT_EQ(json::write(expr[0].value.asRead), "[[0,1],[2]]");
    EXPECT_TRUE(expr[1].value.keptAsWritten);
    EXPECT_FALSE(expr[2].value.keptAsWritten);  // an empty curve is usable
    EXPECT_EQ(expr[2].value.kind, 1);
    EXPECT_EQ(expr[3].value.points.size(), 2u);  // points in any order
    EXPECT_EQ(expr[3].value.points[0].beatsFromNoteStart, 1.0);
    for (std::size_t i : {4u, 5u, 6u}) EXPECT_TRUE(expr[i].value.keptAsWritten) << i;
    const std::string point = "Expected [beatsFromNoteStart, value]; the expression is kept as written, not played";
    EXPECT_EQ(issueLines(issues),
              (Lines{
                  "W bad-expression /notes/0/expr/a~1b/1: " + point,
                  "W bad-expression /notes/0/expr/c~0d: Expected a number or a curve; kept as written, not played",
                  "W bad-expression /notes/0/expr/g/0: " + point,
                  "W bad-expression /notes/0/expr/h/0: " + point,
                  "W bad-expression /notes/0/expr/i/0: " + point,
              }));
}

TEST(ClipReader, NamedValuesReplaceByName) {
    std::vector<NamedValues> list;
    Expression one;
    one.number = 1.0;
    Expression two;
    two.number = 2.0;
    setNamedValue(list, "a", one);
    setNamedValue(list, "b", one);
    setNamedValue(list, "a", two);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "a");
    EXPECT_EQ(list[0].value.number, 2.0);
    EXPECT_EQ(list[1].value.number, 1.0);
}

TEST(ClipReader, LanesAndTheirPoints) {
    IssueList issues;
    const Clip clip = readOrFail(
        R"("lanes":[{"target":"cutoff","id":"l","voice":"bass","instance":"i2","points":[{"at":0,"v":0.5},)"
        R"({"at":1,"v":"open","curve":"smooth","w":1},{"at":2,"v":null,"curve":"wiggle"},{"at":3},{"v":1},7,)"
        R"({"at":4,"v":1,"curve":3}],"x":1},{"target":""},{"id":"l2"},3,{"target":5},{"target":"t","points":{}}],)"
        R"("extensions":["com.tarnwerks.voices/1"])",
        issues);
    ASSERT_EQ(clip.lanes.size(), 6u);
    const ClipLane& lane = clip.lanes[0];
    EXPECT_EQ(lane.target, "cutoff");
    EXPECT_EQ(lane.id, "l");
    EXPECT_EQ(lane.voice, "bass");
    EXPECT_EQ(lane.instance, "i2");
    EXPECT_EQ(json::write(lane.kept), R"({"x":1})");
    ASSERT_EQ(lane.points.size(), 7u);
    EXPECT_EQ(lane.points[1].curve, "smooth");
    EXPECT_EQ(lane.points[1].v.text, "open");
    EXPECT_EQ(json::write(lane.points[1].kept), R"({"w":1})");
    EXPECT_FALSE(lane.points[2].keptAsWritten);
    EXPECT_EQ(lane.points[2].curve, "wiggle");
    EXPECT_EQ(lane.points[2].v.kind, json::Kind::Null);
    for (std::size_t j : {3u, 4u, 5u}) EXPECT_TRUE(lane.points[j].keptAsWritten) << j;
    EXPECT_TRUE(lane.points[6].curve.empty());
    for (std::size_t i : {1u, 2u, 3u, 4u}) EXPECT_TRUE(clip.lanes[i].keptAsWritten) << i;
    EXPECT_FALSE(clip.lanes[5].keptAsWritten);
    EXPECT_TRUE(clip.lanes[5].points.empty());
    const std::string badLane = "A lane is an object with a `target`; kept as written, not played";
    const std::string badPoint = "Expected {at, v}; kept as written, not used";
    EXPECT_EQ(issueLines(issues),
              (Lines{
                  "W unknown-curve /lanes/0/points/2/curve: Unknown curve, played as step; kept",
                  "W bad-lane-point /lanes/0/points/3: " + badPoint,
                  "W bad-lane-point /lanes/0/points/4: " + badPoint,
                  "W bad-lane-point /lanes/0/points/5: " + badPoint,
                  "W wrong-type /lanes/0/points/6/curve: Expected a string; kept as written, not applied",
                  "W bad-lane /lanes/1: " + badLane,
                  "W bad-lane /lanes/2: " + badLane,
                  "W bad-lane /lanes/3: " + badLane,
                  "W wrong-type /lanes/4/target: Expected a string; kept as written, not applied",
                  "W bad-lane /lanes/4: " + badLane,
                  "W wrong-type /lanes/5/points: Expected an array; kept as written, not applied",
              }));
}

TEST(ClipExtensions, UsedByUsableContentOnlyAndNotedWhenUndeclared) {
    IssueList issues;
    const Clip clip = readOrFail(
        R"("notes":[{"at":0,"pitch":1,"slide":true},{"at":0,"pitch":1,"rand":{"vel":0.5,"nudge":0.1}},)"
        R"({"at":0,"pitch":1,"add":{"x":1}},{"pitch":1,"voice":"v"},{"at":0,"pitch":1,"rand":{"params":{}}}],)"
        R"("lanes":[{"voice":"v"}])",
        issues);
    // The note and lane with a voice are unusable and so use no extension; the empty params
    // record needs none either.
    const std::vector<ExtensionId> used = clipExtensionsUsed(clip);
    ASSERT_EQ(used.size(), 2u);
    EXPECT_EQ(extensionIdText(used[0]), "com.tarnwerks.per-note-params/1");
    EXPECT_EQ(extensionIdText(used[1]), "com.tarnwerks.slide/1");
    const Lines lines = issueLines(issues);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "N extension-undeclared /extensions: The clip uses com.tarnwerks.per-note-params/1 "
                        "without declaring it; read as declared");
    EXPECT_EQ(lines[3], "N extension-undeclared /extensions: The clip uses com.tarnwerks.slide/1 without declaring "
                        "it; read as declared");
}

TEST(ClipExtensions, DeclaredUnderAnotherMajorCountsAsDeclared) {
    IssueList issues;
    readOrFail(R"("extensions":["com.tarnwerks.slide/2"],"notes":[{"at":0,"pitch":1,"slide":true}])", issues);
    EXPECT_TRUE(issues.empty());
}

TEST(ClipExtensions, EveryTriggerInItsFixedOrder) {
    Clip clip;
    EXPECT_TRUE(clipExtensionsUsed(clip).empty());
    ClipNote note;
    note.slide = true;
    note.rand = NoteRandom();
    note.rand->vel = 0.5;
    clip.notes.push_back(note);
    ASSERT_EQ(clipExtensionsUsed(clip).size(), 1u);
    clip.notes[0].rand->pan = 0.0;
    clip.notes[0].set.push_back({"p", json::Value(1.0)});
    clip.sounds.push_back({"s", json::Value("Sub")});
    const std::vector<ExtensionId> used = clipExtensionsUsed(clip);
    ASSERT_EQ(used.size(), 4u);
    EXPECT_EQ(used[0].id, "com.tarnwerks.voices");
    EXPECT_EQ(used[1].id, "com.tarnwerks.per-note-params");
    EXPECT_EQ(used[2].id, "com.tarnwerks.note-random");
    EXPECT_EQ(used[3].id, "com.tarnwerks.slide");
    for (const ExtensionId& id : used) EXPECT_EQ(id.major, 1);

    for (auto make : {+[](Clip& c) { c.voices.push_back({"v", json::Value("V")}); },
                      +[](Clip& c) { c.swing.emplace_back().voice = "v"; },
                      +[](Clip& c) { c.lanes.emplace_back().voice = "v"; },
                      +[](Clip& c) { c.notes.emplace_back().voice = "v"; },
                      +[](Clip& c) { c.notes.emplace_back().tune = 0.0; },
                      +[](Clip& c) { c.notes.emplace_back().sound = "s"; }}) {
        Clip voiced;
        make(voiced);
        ASSERT_EQ(clipExtensionsUsed(voiced).size(), 1u);
        EXPECT_EQ(clipExtensionsUsed(voiced)[0].id, "com.tarnwerks.voices");
        voiced.swing.empty() || (voiced.swing[0].keptAsWritten = true);
        voiced.lanes.empty() || (voiced.lanes[0].keptAsWritten = true);
        voiced.notes.empty() || (voiced.notes[0].keptAsWritten = true);
        EXPECT_EQ(clipExtensionsUsed(voiced).size(), voiced.voices.empty() ? 0u : 1u);
    }
}

}  // namespace
}  // namespace tarn
