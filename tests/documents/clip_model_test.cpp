// Defaults of the clip records, entries kept as written, and copying and moving a whole clip.
#include "documents/clip.h"

#include "documents/json/writer.h"
#include "tests/documents/document_test_support.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarn {
namespace {

TEST(ClipModel, DefaultsOfEveryRecord) {
    const Clip clip;
    EXPECT_EQ(clip.spec.major, 1);
    EXPECT_EQ(clip.spec.minor, 0);
    EXPECT_EQ(clip.length, 4.0);
    EXPECT_EQ(clip.grid, "1/16");
    EXPECT_FALSE(clip.seed);
    EXPECT_FALSE(clip.formatVersion);
    EXPECT_TRUE(clip.notes.empty() && clip.tempo.empty() && clip.lanes.empty() && clip.voices.empty());
    EXPECT_EQ(clip.kept.kind, json::Kind::Null);
    EXPECT_EQ(clip.asRead.kind, json::Kind::Null);

    const ClipNote note;
    EXPECT_EQ(note.vel, 1.0);
    EXPECT_EQ(note.nudge, 0.0);
    EXPECT_FALSE(note.pitch);
    EXPECT_FALSE(note.keptAsWritten);

    const SwingSetting swing;
    EXPECT_EQ(swing.grid, "1/16");
    EXPECT_EQ(swing.amount, 0.5);
    EXPECT_EQ(swing.bar, 0);

    const TempoChange tempo;
    EXPECT_EQ(tempo.bpm, 120.0);
    const MeterChange meter;
    EXPECT_EQ(meter.num, 4);
    EXPECT_EQ(meter.den, 4);
    const Expression expression;
    EXPECT_EQ(expression.kind, 0);
    EXPECT_FALSE(expression.keptAsWritten);
}

TEST(ClipModel, EntriesKeptAsWrittenHoldDefaultsBesideWhatWasRead) {
    const json::Value written = testing::parseOrFail(R"({"pitch":40,"vel":0.2})");
    const ClipNote note(written);
    EXPECT_TRUE(note.keptAsWritten);
    EXPECT_EQ(note.vel, 1.0);
    EXPECT_FALSE(note.pitch);
    EXPECT_EQ(json::write(note.asRead), R"({"pitch":40,"vel":0.2})");

    const Expression expression(testing::parseOrFail(R"("x")"));
    EXPECT_TRUE(expression.keptAsWritten);
    EXPECT_EQ(expression.kind, 0);
    EXPECT_EQ(expression.number, 0.0);
    EXPECT_EQ(expression.asRead.text, "x");
}

TEST(ClipModel, CopiesAreDeepAndMovesEmptyTheSource) {
    Clip clip;
    clip.notes.emplace_back().expr.push_back({"bend", Expression()});
    clip.voices.push_back({"bass", json::Value("Bass")});
    clip.kept = testing::parseOrFail(R"({"x":[1,2]})");
    clip.lanes.emplace_back().points.emplace_back();

    Clip copy = clip;
    copy.notes[0].expr[0].name = "changed";
    copy.kept.members[0].value.items.clear();
    EXPECT_EQ(clip.notes[0].expr[0].name, "bend");
    EXPECT_EQ(clip.kept.members[0].value.items.size(), 2u);

    Clip moved = std::move(clip);
    EXPECT_EQ(moved.notes.size(), 1u);
    EXPECT_EQ(moved.voices.size(), 1u);
    EXPECT_EQ(moved.lanes[0].points.size(), 1u);
    EXPECT_TRUE(clip.notes.empty());  // NOLINT(bugprone-use-after-move): moved-from state is the point
    EXPECT_TRUE(clip.voices.empty());
    EXPECT_TRUE(clip.lanes.empty());
}

}  // namespace
}  // namespace tarn
