// The pattern document: its written form, round trips, and what the reader keeps, drops and reports.
#include "storage/pattern_document.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

#include "documents/json/reader.h"
#include "documents/json/writer.h"
#include "engine/pattern_generator.h"
#include "tests/storage/pattern_test_support.h"

namespace tarn {
namespace {

json::Value parsed(const std::string& text) {
    json::Value value;
    std::string error;
    EXPECT_TRUE(json::parse(text, value, error)) << error << " in " << text;
    return value;
}

struct ReadResult {
    Pattern pattern;
    IssueList issues;
};

ReadResult readText(const std::string& text, Pattern start = Pattern(4, 36, 0)) {
    ReadResult result{std::move(start), {}};
    readPattern(parsed(text), result.pattern, result.issues);
    return result;
}

// A document with one bar whose notes are given as JSON text, all settings valid.
std::string withNotes(const std::string& notes, const std::string& kick = "0") {
    return R"({"genre":"House","scale":"Minor","bars":[{"notes":[)" + notes + R"(],"kick":)" + kick + "}]}";
}

TEST(PatternDocumentWrite, MembersComeInOrderWithShortestFloats) {
    Pattern pattern(2, 38, 3);
    pattern.genre = 2;
    pattern.preset = 4;
    pattern.energy = 0.6f;
    pattern.groove = 0.25f;
    pattern.lock = 1.0f;
    pattern.seed = 4294967295u;
    pattern.swing = 0.1f;
    pattern.bars[0].push_back(PatternNote{0, -5, 1.5f, 0.8f, 1, 1, -0.1f});
    pattern.kicks[0] = 0x1111;
    pattern.kicks.pop_back();  // the second bar holds no mask of its own

    EXPECT_EQ(json::write(writePattern(pattern)),
              R"({"genre":"Acid","style":{"preset":4,"energy":0.6,"groove":0.25,"lock":1},"seed":4294967295,)"
              R"("rootNote":38,"scale":"Dorian","swing":0.1,"bars":[{"notes":[{"step":0,"degree":-5,"gate":1.5,)"
              R"("accent":0.8,"slide":true,"anchor":true,"nudge":-0.1}],"kick":4369},{"notes":[],"kick":0}]})");
}

TEST(PatternDocumentWrite, EveryGenreAndScaleWritesTheNameThatReadsBack) {
    const char* genres[] = {"House", "Techno", "Acid", "Trance", "DnB", "Dubstep"};
    const char* scaleNames[] = {"Minor", "Major", "Minor pentatonic", "Dorian", "Phrygian", "Chromatic"};
    for (int i = 0; i < 6; ++i) {
        Pattern pattern(1, 36, i);
        pattern.genre = i;
        const json::Value doc = writePattern(pattern);
        EXPECT_EQ(json::stringOr(doc, "genre", ""), genres[i]);
        EXPECT_EQ(json::stringOr(doc, "scale", ""), scaleNames[i]);
        Pattern back(1, 36, 0);
        IssueList issues;
        readPattern(doc, back, issues);
        EXPECT_EQ(back.genre, i);
        EXPECT_EQ(back.scale, i);
        EXPECT_TRUE(issues.empty());
    }
}

TEST(PatternDocumentWrite, IndexesOutsideTheTablesWriteTheNearestName) {
    Pattern pattern(1, 36, 99);
    pattern.genre = -7;
    const json::Value doc = writePattern(pattern);
    EXPECT_EQ(json::stringOr(doc, "genre", ""), "House");
    EXPECT_EQ(json::stringOr(doc, "scale", ""), "Chromatic");
}

TEST(PatternDocumentRoundTrip, GeneratedPatternsComeBackBitForBit) {
    for (std::uint32_t seed : {1u, 42u, 977u}) {
        for (int genre = 0; genre < 6; ++genre) {
            Pattern settings(4, 33 + genre, genre % 6);
            settings.genre = genre;
            settings.seed = seed;
            const Pattern generated = generatePattern(settings);
            const ReadResult back = readText(json::write(writePattern(generated)), Pattern(1, 0, 0));
            EXPECT_TRUE(back.issues.empty());
            EXPECT_EQ(test::firstPatternDifference(generated, back.pattern), "") << "genre " << genre;
        }
    }
}

TEST(PatternDocumentRoundTrip, RandomPatternsComeBackBitForBit) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 300; ++round) {
        const Pattern pattern = test::randomPattern(random);
        const std::string text = json::write(writePattern(pattern));
        const ReadResult back = readText(text, Pattern(2, 0, 5));
        ASSERT_TRUE(back.issues.empty()) << text;
        ASSERT_EQ(test::firstPatternDifference(pattern, back.pattern), "") << text;
    }
}

TEST(PatternDocumentRead, GenreAndScaleMatchExactly) {
    Pattern start(4, 36, 2);
    start.genre = 3;
    const ReadResult lower = readText(R"({"genre":"house","scale":"minor","bars":[]})", start);
    EXPECT_EQ(lower.pattern.genre, 3);
    EXPECT_EQ(lower.pattern.scale, 2);
    ASSERT_EQ(lower.issues.size(), 2u);
    EXPECT_EQ(lower.issues[0].id, "unknown-genre");
    EXPECT_EQ(lower.issues[0].pointer, "/pattern/genre");
    EXPECT_EQ(lower.issues[0].severity, Severity::Warning);
    EXPECT_EQ(lower.issues[0].message, "Not a genre this build knows; left at its default");
    EXPECT_EQ(lower.issues[1].id, "unknown-scale");
    EXPECT_EQ(lower.issues[1].pointer, "/pattern/scale");
    EXPECT_EQ(lower.issues[1].message, "Not a scale this build knows; left at its default");

    const ReadResult missing = readText(R"({"genre":3,"bars":[]})", start);
    ASSERT_EQ(missing.issues.size(), 2u) << "a genre that is not a string and a missing scale both warn";
    EXPECT_EQ(missing.pattern.genre, 3);

    const ReadResult exact = readText(R"({"genre":"Dubstep","scale":"Minor pentatonic"})", start);
    EXPECT_EQ(exact.pattern.genre, 5);
    EXPECT_EQ(exact.pattern.scale, 2);
    EXPECT_TRUE(exact.issues.empty());
}

TEST(PatternDocumentRead, AbsentOrUnusableSettingsKeepTheStartingValues) {
    Pattern start(4, 40, 1);
    start.preset = 7;
    start.energy = 0.9f;
    start.groove = 0.1f;
    start.lock = 0.3f;
    start.seed = 12;
    start.swing = 0.2f;
    const ReadResult read = readText(
        R"({"genre":"Techno","style":{"preset":"7","energy":null,"lock":1e308},"seed":"1","rootNote":true,)"
        R"("scale":"Major","swing":-1e308})",
        start);
    EXPECT_EQ(read.pattern.preset, 7);
    EXPECT_EQ(read.pattern.energy, 0.9f);
    EXPECT_EQ(read.pattern.groove, 0.1f);
    EXPECT_EQ(read.pattern.lock, 0.3f) << "a number beyond the float range is not a usable float";
    EXPECT_EQ(read.pattern.seed, 12u);
    EXPECT_EQ(read.pattern.rootNote, 40);
    EXPECT_EQ(read.pattern.swing, 0.2f);

    const ReadResult styleNotObject = readText(R"({"style":[0.1,0.2]})", start);
    EXPECT_EQ(styleNotObject.pattern.energy, 0.9f);
}

TEST(PatternDocumentRead, WholeNumbersTruncateAndSaturate) {
    const ReadResult read = readText(R"({"style":{"preset":3.9,"energy":-0.5},"seed":-1,"rootNote":-2.7})");
    EXPECT_EQ(read.pattern.preset, 3);
    EXPECT_EQ(read.pattern.energy, -0.5f) << "style values are taken as written";
    EXPECT_EQ(read.pattern.seed, 4294967295u) << "-1 keeps its low 32 bits";
    EXPECT_EQ(read.pattern.rootNote, -2);

    EXPECT_EQ(readText(R"({"seed":4294967296})").pattern.seed, 0u);
    EXPECT_EQ(readText(R"({"seed":4294967297.5})").pattern.seed, 1u);
    EXPECT_EQ(readText(R"({"seed":1e308})").pattern.seed, 4294967295u);
    EXPECT_EQ(readText(R"({"seed":-1e308})").pattern.seed, 0u);
    EXPECT_EQ(readText(R"({"seed":-nan})").pattern.seed, 0u);
    EXPECT_EQ(readText(R"({"rootNote":1e308})").pattern.rootNote, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(readText(R"({"rootNote":-1e308})").pattern.rootNote, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(readText(R"({"style":{"preset":-inf}})").pattern.preset, std::numeric_limits<std::int32_t>::min());
}

TEST(PatternDocumentRead, BarsMissingEmptyOrNotAnArrayLeaveNoBars) {
    for (const char* text : {R"({"genre":"House","scale":"Minor"})", R"({"genre":"House","scale":"Minor","bars":[]})",
                             R"({"genre":"House","scale":"Minor","bars":{"0":{"notes":[]}}})",
                             R"({"genre":"House","scale":"Minor","bars":"x"})"}) {
        const ReadResult read = readText(text);
        EXPECT_TRUE(read.pattern.bars.empty()) << text;
        EXPECT_TRUE(read.pattern.kicks.empty()) << text;
        EXPECT_TRUE(read.issues.empty()) << text;
    }
}

TEST(PatternDocumentRead, StepsOutsideTheBarAreLeftOutWithTheirPointer) {
    const ReadResult read = readText(withNotes(R"({"step":0},{"step":3.9},{"step":16},{"step":-1},{"degree":2},)"
                                               R"({"step":"4"},7,{"step":1e308},{"step":-nan},{"step":-0.5},)"
                                               R"({"step":15})"));
    ASSERT_EQ(read.pattern.bars.size(), 1u);
    const auto& bar = read.pattern.bars[0];
    ASSERT_EQ(bar.size(), 4u);
    EXPECT_EQ(bar[0].step, 0);
    EXPECT_EQ(bar[1].step, 3);
    EXPECT_EQ(bar[2].step, 0) << "-0.5 truncates toward zero onto step 0";
    EXPECT_EQ(bar[3].step, 15);

    const std::vector<int> dropped = {2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(read.issues.size(), dropped.size());
    for (std::size_t k = 0; k < dropped.size(); ++k) {
        EXPECT_EQ(read.issues[k].id, "note-outside-bar");
        EXPECT_EQ(read.issues[k].severity, Severity::Warning);
        EXPECT_EQ(read.issues[k].pointer, "/pattern/bars/0/notes/" + std::to_string(dropped[k]));
        EXPECT_EQ(read.issues[k].message, "A note outside its bar's 16 steps; left out");
    }
}

TEST(PatternDocumentRead, PointerNamesTheBarAndNoteIndexes) {
    const ReadResult read = readText(
        R"({"genre":"House","scale":"Minor","bars":[{"notes":[]},{"notes":[{"step":1},{"step":2},{"step":99}]}]})");
    ASSERT_EQ(read.issues.size(), 1u);
    EXPECT_EQ(read.issues[0].pointer, "/pattern/bars/1/notes/2");
}

TEST(PatternDocumentRead, NoteMembersTakeTheirDefaultsAndOnlyTrueSetsAFlag) {
    const ReadResult read = readText(
        withNotes(R"({"step":1},{"step":2,"degree":-3.7,"gate":0.25,"accent":2,"slide":1,"anchor":"true","nudge":-0.3},)"
                  R"({"step":3,"slide":true,"anchor":true,"gate":"long","accent":null,"nudge":1e308})"));
    ASSERT_EQ(read.pattern.bars[0].size(), 3u);
    const PatternNote& plain = read.pattern.bars[0][0];
    EXPECT_EQ(plain.degree, 0);
    EXPECT_EQ(plain.gate, 1.0f);
    EXPECT_EQ(plain.accent, 0.5f);
    EXPECT_EQ(plain.slide, 0);
    EXPECT_EQ(plain.anchor, 0);
    EXPECT_EQ(plain.nudge, 0.0f);

    const PatternNote& written = read.pattern.bars[0][1];
    EXPECT_EQ(written.degree, -3);
    EXPECT_EQ(written.gate, 0.25f);
    EXPECT_EQ(written.accent, 2.0f) << "accent is taken as written";
    EXPECT_EQ(written.slide, 0) << "slide given as 1 is not true";
    EXPECT_EQ(written.anchor, 0);
    EXPECT_EQ(written.nudge, -0.3f);

    const PatternNote& flagged = read.pattern.bars[0][2];
    EXPECT_EQ(flagged.slide, 1);
    EXPECT_EQ(flagged.anchor, 1);
    EXPECT_EQ(flagged.gate, 1.0f);
    EXPECT_EQ(flagged.accent, 0.5f);
    EXPECT_EQ(flagged.nudge, 0.0f) << "a nudge beyond the float range is not used";
    EXPECT_TRUE(read.issues.empty());
}

TEST(PatternDocumentRead, KickMasksKeepTheirLow16Bits) {
    EXPECT_EQ(readText(withNotes("", "65537")).pattern.kicks.at(0), 1u);
    EXPECT_EQ(readText(withNotes("", "-1")).pattern.kicks.at(0), 0xFFFFu);
    EXPECT_EQ(readText(withNotes("", "4369.9")).pattern.kicks.at(0), 4369u);
    EXPECT_EQ(readText(withNotes("", "1e308")).pattern.kicks.at(0), 0xFFFFu) << "saturates to the 32-bit maximum";
    EXPECT_EQ(readText(withNotes("", "\"1\"")).pattern.kicks.at(0), 0u);
    EXPECT_EQ(readText(withNotes("", "-nan")).pattern.kicks.at(0), 0u);
}

TEST(PatternDocumentRead, EveryBarItemBecomesABarEvenWhenUnusable) {
    const ReadResult read =
        readText(R"({"genre":"House","scale":"Minor","bars":[5,{"kick":3},{"notes":{"step":1}},{"notes":[{"step":4}]}]})");
    ASSERT_EQ(read.pattern.bars.size(), 4u);
    ASSERT_EQ(read.pattern.kicks.size(), 4u);
    EXPECT_TRUE(read.pattern.bars[0].empty());
    EXPECT_TRUE(read.pattern.bars[1].empty());
    EXPECT_EQ(read.pattern.kicks[1], 3u);
    EXPECT_TRUE(read.pattern.bars[2].empty());
    ASSERT_EQ(read.pattern.bars[3].size(), 1u);
    EXPECT_EQ(read.pattern.bars[3][0].step, 4);
    EXPECT_TRUE(read.issues.empty());
}

TEST(PatternDocumentRead, ReadingReplacesTheStartingBars) {
    Pattern start(6, 36, 0);
    start.bars[0].push_back(PatternNote{});
    const ReadResult read = readText(withNotes(R"({"step":9})"), start);
    ASSERT_EQ(read.pattern.bars.size(), 1u);
    EXPECT_EQ(read.pattern.bars[0][0].step, 9);
}

}  // namespace
}  // namespace tarn

namespace tarn {
namespace {

TEST(PatternDocumentWrite, WholeNumbersKeepTheirPlainDigits) {
    Pattern pattern(1, -2147483647 - 1, 0);
    pattern.seed = 4000000000u;
    pattern.preset = 100000;
    pattern.bars[0].push_back(PatternNote{3, 1000000, 1.0f, 0.5f, 0, 0, 0.0f});
    const std::string text = json::write(writePattern(pattern));
    EXPECT_NE(text.find(R"("seed":4000000000,)"), std::string::npos) << text;
    EXPECT_NE(text.find(R"("rootNote":-2147483648,)"), std::string::npos) << text;
    EXPECT_NE(text.find(R"("preset":100000,)"), std::string::npos) << text;
    EXPECT_NE(text.find(R"("degree":1000000,)"), std::string::npos) << text;
}

}  // namespace
}  // namespace tarn
