// The roll's pitch rows, note starts and note names, and that the roll shows every note on the
// pitch and at the time the played line gives it.
#include "app/pattern_grid.h"
#include "engine/notes.h"
#include "engine/pattern_generator.h"
#include "engine/pattern_style.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace tarn {
namespace {

TEST(PatternRows, ScaleDegreesThenNoteDegreesHighestFirstAtMostSixteen) {
    struct Case {
        int scale;
        std::vector<std::vector<int>> barDegrees;  // note degrees, bar by bar
        std::vector<int> rows;                     // top to bottom
    };
    const Case cases[] = {
        {0, {}, {12, 10, 8, 7, 5, 3, 2, 0}},
        {2, {{7, 1, 1}, {-5, 24}}, {24, 12, 10, 7, 5, 3, 1, 0, -5}},
        // Chromatic fills 13 rows; of the rest, the first notes met (bar 0 before bar 1) get the last three.
        {5, {{17}, {13, 14, 15, 16}}, {17, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
    };
    for (const Case& c : cases) {
        Pattern pattern(2, 36, c.scale);
        for (std::size_t b = 0; b < c.barDegrees.size(); ++b)
            for (int degree : c.barDegrees[b])
                pattern.bars[b].push_back(PatternNote{0, degree, 1.0f, 0.5f, 0, 0, 0.0f});
        const PatternRows rows = patternRows(pattern);
        EXPECT_EQ(std::vector<int>(rows.degrees.begin(), rows.degrees.begin() + rows.count), c.rows) << c.scale;
    }
}

TEST(PatternRows, NoteStartsKeepSwingAndNudgeWithinFortyFiveHundredthsOfAStep) {
    const std::tuple<int, float, float, float> cases[] = {// step, swing, nudge, start
                                                          {3, 0.45f, 0.3f, 3.45f},
                                                          {2, 0.45f, -0.45f, 1.55f},
                                                          {1, 0.6f, 0.0f, 1.45f},
                                                          {5, -0.2f, 0.0f, 5.0f}};
    for (const auto& [step, swing, nudge, start] : cases)
        EXPECT_FLOAT_EQ(noteStartStep(PatternNote{step, 0, 1.0f, 0.5f, 0, 0, nudge}, swing), start) << step;
}

TEST(PatternRows, NoteNamesCountOctavesFromMinusOne) {
    const std::pair<int, std::string> cases[] = {
        {36, "C2"}, {0, "C-1"}, {-13, "B-2"}, {61, "C#4"}, {INT_MIN + 2, "F#-17895697"}};  // the last cut to 12 bytes
    for (const auto& [note, name] : cases) EXPECT_EQ(noteName(note).c_str(), name) << note;
}

// Generated patterns with nudges and stray degrees: wherever the engine plays a note, the roll
// has its pitch on a row and draws its start within half a tick of where it sounds.
TEST(PatternRows, RollAgreesWithThePlayedLine) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> nudge(-0.7f, 0.7f);
    for (int preset = 0; preset < kStylePresetCount; ++preset) {
        for (float swing : {0.0f, 0.12f, 0.45f, 0.8f}) {
            Pattern settings(8, 30 + preset, 0);
            applyStylePreset(settings, preset);
            settings.seed = static_cast<std::uint32_t>(random());
            settings.swing = swing;
            Pattern pattern = generatePattern(settings);
            for (auto& bar : pattern.bars)
                for (PatternNote& note : bar) {
                    note.nudge = nudge(random);
                    if (random() % 5 == 0) note.degree += 1;
                }
            const PatternRows rows = patternRows(pattern);
            const std::vector<TimedNote> timed = timePatternNotes(pattern);
            std::size_t played = 0;
            for (std::size_t b = 0; b < pattern.bars.size(); ++b) {
                for (const PatternNote& note : pattern.bars[b]) {
                    ASSERT_LT(played, timed.size());
                    const int row = rows.rowOf(note.degree);
                    ASSERT_TRUE(row >= 0 || rows.count == kMaxPatternRows) << note.degree;
                    EXPECT_TRUE(row < 0 || midiNoteOf(pattern.rootNote, rows.degrees[static_cast<std::size_t>(row)]) ==
                                               timed[played].note);
                    const double drawnTick = static_cast<double>(b) * kTicksPerBar +
                                             static_cast<double>(noteStartStep(note, pattern.swing)) * kTicksPerStep;
                    EXPECT_NEAR(std::max(drawnTick, 0.0), static_cast<double>(timed[played].startTick), 0.501)
                        << "preset " << preset << " bar " << b << " step " << note.step;
                    ++played;
                }
            }
            EXPECT_EQ(played, timed.size());
        }
    }
}

}  // namespace
}  // namespace tarn
