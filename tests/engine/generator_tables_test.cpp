// Consistency of the transcribed generator tables: templates obey their own genre's rules.
#include "engine/generator_tables.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

bool inMask(std::uint32_t mask, int step) { return step >= 0 && step < 16 && ((mask >> step) & 1u); }

TEST(GeneratorTables, StylePresetsNameTheirGenre) {
    const auto presets = stylePresets();
    ASSERT_EQ(presets.size(), 10u);
    for (const PatternStyle& style : presets) {
        const std::string name = style.name;
        ASSERT_GE(style.genre, 0);
        ASSERT_LT(style.genre, kGenreCount);
        EXPECT_EQ(name.substr(0, name.find(':')), genreName(style.genre)) << name;
        for (float value : {style.energy, style.groove, style.lock}) {
            EXPECT_GE(value, 0.0f) << name;
            EXPECT_LE(value, 1.0f) << name;
        }
    }
    EXPECT_STREQ(presets[0].name, "House: Deep");
    EXPECT_EQ(presets[0].kickAfter, -0.2f);
    EXPECT_STREQ(presets[9].name, "Dubstep: Half-time");
}

TEST(GeneratorTables, GenreNamesClampOutOfRangeIndexes) {
    EXPECT_STREQ(genreName(0), "House");
    EXPECT_STREQ(genreName(4), "DnB");
    EXPECT_STREQ(genreName(5), "Dubstep");
    EXPECT_STREQ(genreName(-1), "House");
    EXPECT_STREQ(genreName(99), "Dubstep");
    EXPECT_EQ(&genreRules(-7), &genreRules(0));
    EXPECT_EQ(&genreRules(6), &genreRules(5));
}

TEST(GeneratorTables, ScalesAscendToTheOctaveAndPadWithZero) {
    const char* names[] = {"Minor", "Major", "Minor pentatonic", "Dorian", "Phrygian", "Chromatic"};
    for (int s = 0; s < kScaleCount; ++s) {
        const Scale& scale = scales[static_cast<std::size_t>(s)];
        EXPECT_STREQ(scale.name, names[s]);
        ASSERT_GE(scale.count, 2);
        EXPECT_EQ(scale.semitones[0], 0) << scale.name;
        EXPECT_EQ(scale.semitones[static_cast<std::size_t>(scale.count - 1)], 12) << scale.name;
        for (int i = 1; i < scale.count; ++i) {
            EXPECT_LT(scale.semitones[static_cast<std::size_t>(i - 1)],
                      scale.semitones[static_cast<std::size_t>(i)]) << scale.name;
        }
        for (int i = scale.count; i < 13; ++i) EXPECT_EQ(scale.semitones[static_cast<std::size_t>(i)], 0);
    }
    EXPECT_EQ(scales[2].count, 6);
    EXPECT_EQ(scales[5].count, 13);
}

TEST(GeneratorTables, GenreRulesAreWellFormed) {
    for (int g = 0; g < kGenreCount; ++g) {
        const GenreRules& rules = genreRules(g);
        SCOPED_TRACE(genreName(g));
        EXPECT_LE(rules.minNotes, rules.maxNotes);
        EXPECT_EQ(rules.gateCount, 4);
        for (int i = 1; i < rules.gateCount; ++i) EXPECT_LT(rules.gates[i - 1], rules.gates[i]);
        EXPECT_EQ(rules.anchorSteps & ~rules.allowedSteps, 0) << "anchors only on allowed steps";
        EXPECT_EQ(rules.snapMode, 0);
        EXPECT_EQ(rules.templateCount, 3);
        float total = 0.0f;
        for (float w : rules.mutationWeights) total += w;
        // The weights are relative; only DnB and Dubstep add up to more than 1.
        EXPECT_NEAR(total, g >= 4 ? 1.07f : 1.0f, 1e-5f);
    }
}

TEST(GeneratorTables, TemplatesStartOnTheirOnlyAnchorAndKeepTheRules) {
    for (int g = 0; g < kGenreCount; ++g) {
        const GenreRules& rules = genreRules(g);
        for (int t = 0; t < rules.templateCount; ++t) {
            SCOPED_TRACE(std::string(genreName(g)) + " template " + std::to_string(t));
            const NoteTemplate& tpl = rules.templates[static_cast<std::size_t>(t)];
            ASSERT_GE(tpl.count, 1);
            ASSERT_LE(tpl.count, rules.maxNotes);
            EXPECT_GE(tpl.count, rules.minNotes);
            EXPECT_TRUE(tpl.notes[0].anchor);
            EXPECT_TRUE(inMask(rules.anchorSteps, tpl.notes[0].step));
            for (int i = 0; i < tpl.count; ++i) {
                const PatternNote& n = tpl.notes[i];
                EXPECT_TRUE(inMask(rules.allowedSteps, n.step)) << "step " << n.step;
                EXPECT_EQ(n.nudge, 0.0f);
                EXPECT_GE(n.degree, 0);
                EXPECT_LE(n.degree, 12);
                if (i > 0) {
                    EXPECT_FALSE(n.anchor);
                    EXPECT_LT(tpl.notes[i - 1].step, n.step);
                }
                bool knownGate = false;
                for (float gate : rules.gates) knownGate = knownGate || gate == n.gate;
                EXPECT_TRUE(knownGate) << "gate " << n.gate;
            }
        }
        EXPECT_EQ(rules.templates[3].count, 0);
    }
}

}  // namespace
}  // namespace tarn
