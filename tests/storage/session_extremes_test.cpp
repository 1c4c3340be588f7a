// Session and preset files holding extreme numbers: defined results, nothing infinite or NaN downstream.
#include "storage/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "documents/json/writer.h"
#include "engine/notes.h"
#include "engine/offline_render.h"
#include "engine/pattern_generator.h"
#include "storage/patch_document.h"

namespace tarn {
namespace {

std::string curveOf(const std::string& first, const std::string& rest) {
    std::string text = "[" + first;
    for (int i = 1; i < kCurvePoints; ++i) text += "," + rest;
    return text + "]";
}

// Every number the reader accepts at the edge of the double range, in every place a session
// holds numbers.
std::string extremeSession() {
    return std::string(R"({"tarnlodeSession":-1e308,"patch":{"kind":"instance","spec":"1.0","plugin":"tarnlode",)") +
           R"("params":{"weight":1e308,"drive":-1e308,"tone":-nan,"punch":-inf,"arcBars":1e308,"legato":-1e308},)" +
           R"("state":{"motion":)" + curveOf("1e308", "-nan") + R"(,"arcs":{"Drive":)" + curveOf("-1e308", "-inf") +
           R"(}}},"pattern":{"genre":"Acid","style":{"preset":1e308,"energy":1e308,"groove":-nan,"lock":-1e308},)" +
           R"("seed":-1e308,"rootNote":1e308,"scale":"Major","swing":-inf,"bars":[{"notes":[)" +
           R"({"step":1e308},{"step":-1e308},{"step":-nan},)" +
           R"({"step":2,"degree":-1e308,"gate":1e308,"accent":-nan,"nudge":1e308},)" +
           R"({"step":5,"degree":1e308,"gate":3e38,"accent":3e38,"nudge":-3e38}],"kick":-1e308}]}})";
}

TEST(SessionExtremes, ReadWithDefinedValuesAndNoInfinityOrNaN) {
    IssueList issues;
    const auto session = readSession(extremeSession(), issues);
    ASSERT_TRUE(session);
    for (const PatchParam& row : patchParams) {
        const float value = session->patch.*row.field;
        EXPECT_TRUE(std::isfinite(value)) << row.key;
        EXPECT_GE(value, row.min) << row.key;
        EXPECT_LE(value, row.max) << row.key;
    }
    const Patch defaults;
    EXPECT_EQ(session->patch.weight, defaults.weight);
    EXPECT_EQ(session->patch.arcBars, defaults.arcBars);
    EXPECT_EQ(session->patch.legato, defaults.legato);
    for (const auto& curve : session->patch.curves.points) {
        for (float point : curve) EXPECT_TRUE(std::isfinite(point));
    }
    EXPECT_EQ(session->patch.curves.points[0][0], 0.0f);
    EXPECT_EQ(session->patch.curves.points[5][0], 0.0f);

    const Pattern& pattern = session->pattern;
    EXPECT_EQ(pattern.genre, 2);
    EXPECT_EQ(pattern.preset, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(pattern.energy, 0.5f) << "not finite as a float: the starting value stays";
    EXPECT_EQ(pattern.groove, 0.5f);
    EXPECT_EQ(pattern.lock, 0.0f);
    EXPECT_EQ(pattern.seed, 0u);
    EXPECT_EQ(pattern.rootNote, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(pattern.swing, 0.0f);
    ASSERT_EQ(pattern.bars.size(), 1u);
    ASSERT_EQ(pattern.bars[0].size(), 2u) << "huge and NaN steps fall outside the bar";
    EXPECT_EQ(pattern.bars[0][0].degree, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(pattern.bars[0][0].gate, 1.0f);
    EXPECT_EQ(pattern.bars[0][0].accent, 0.5f);
    EXPECT_EQ(pattern.bars[0][0].nudge, 0.0f);
    EXPECT_EQ(pattern.bars[0][1].gate, 3e38f) << "finite values are taken as written";
    EXPECT_EQ(pattern.kicks[0], 0u);
    std::string ids;
    for (const Issue& issue : issues) ids += issue.id + " " + issue.pointer + ";";
    // The sound goes through JSON text once more on its way in, where a NaN becomes null: a
    // params entry of the wrong kind to the instance reader, left at its default all the same.
    EXPECT_EQ(ids,
              "wrong-type /params/tone;note-outside-bar /pattern/bars/0/notes/0;"
              "note-outside-bar /pattern/bars/0/notes/1;note-outside-bar /pattern/bars/0/notes/2;");

    // Written back, nothing is null, infinite or NaN.
    const std::string text = writeSession(*session);
    EXPECT_EQ(text.find("null"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
    EXPECT_EQ(text.find("nan"), std::string::npos);
}

TEST(SessionExtremes, NumbersBeyondTheDoubleRangeMakeTheFileUnreadable) {
    IssueList issues;
    EXPECT_FALSE(readSession(R"({"tarnlodeSession":1e400})", issues));
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].id, "not-json");

    IssueList presetIssues;
    InstanceDocument document;
    std::optional<Patch> patch;
    const std::string preset = R"({"kind":"instance","plugin":"tarnlode","params":{"weight":-1e400}})";
    patchFromInstance(document, patch, std::span(reinterpret_cast<const std::uint8_t*>(preset.data()), preset.size()),
                      presetIssues);
    EXPECT_FALSE(patch);
    ASSERT_FALSE(presetIssues.empty());
    EXPECT_EQ(presetIssues.back().severity, Severity::Error);
}

// The values the session reader takes as written (preset, root note, gate, accent, nudge) are
// bounded downstream: the generator and the note conversion cope, and the render stays finite.
TEST(SessionExtremes, AbsurdPatternValuesGenerateAndRenderWithoutNaN) {
    const char* roots[] = {"1e308", "-1e308", "-1", "100"};
    for (const char* root : roots) {
        const std::string text =
            std::string(R"({"tarnlodeSession":1,"patch":{"kind":"instance","plugin":"tarnlode"},)") +
            R"("pattern":{"genre":"Techno","style":{"preset":-1e308,"energy":3e38,"groove":-3e38,"lock":3e38},)" +
            R"("rootNote":)" + root + R"(,"scale":"Chromatic","swing":3e38,"bars":[{"notes":[)" +
            R"({"step":0,"degree":-1e308,"gate":3e38,"accent":3e38,"nudge":-3e38},)" +
            R"({"step":4,"degree":1e308,"gate":-3e38,"accent":-3e38,"nudge":3e38},)" +
            R"({"step":8,"degree":12,"gate":1e-30,"accent":0.5,"nudge":0.44},)" +
            R"({"step":12,"degree":-40,"gate":2,"accent":1,"nudge":-3e38}],"kick":65535}]}})";
        IssueList issues;
        const auto session = readSession(text, issues);
        ASSERT_TRUE(session) << root;

        const Pattern generated = generatePattern(session->pattern);
        EXPECT_FALSE(generated.bars.empty());

        AudioConfig config;
        config.sampleRate = 8000.0f;  // a low rate keeps the longest render short
        for (const Pattern* pattern : {&session->pattern, &generated}) {
            const std::vector<NoteEvent> notes = patternToNotes(*pattern);
            for (const NoteEvent& note : notes) {
                EXPECT_TRUE(std::isfinite(note.start) && std::isfinite(note.length)) << root;
                EXPECT_TRUE(note.note >= 0 && note.note <= 127) << root;
            }
            const StereoAudio audio =
                renderNotes(session->patch, session->patch.curves.data(), notes.data(), notes.size(), config);
            bool finite = true;
            for (std::size_t i = 0; i < audio.left.size(); ++i)
                finite = finite && std::isfinite(audio.left[i]) && std::isfinite(audio.right[i]);
            EXPECT_TRUE(finite) << root;
        }
    }
}

}  // namespace
}  // namespace tarn
