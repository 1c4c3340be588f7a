// Style presets, kick weights and whole-pattern generation: determinism, the settings head, kick
// masks, accents, the four-bar structure and untrusted settings.
#include "engine/pattern_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace tarn {
namespace {

Pattern styled(int bars, int preset, std::uint32_t seed) {
    Pattern settings(bars, 36, 0);
    applyStylePreset(settings, preset);
    settings.seed = seed;
    return settings;
}

bool sameNotes(const BarNotes& a, const BarNotes& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const PatternNote& x = a[i];
        const PatternNote& y = b[i];
        if (x.step != y.step || x.degree != y.degree || x.gate != y.gate || x.accent != y.accent ||
            x.slide != y.slide || x.anchor != y.anchor || x.nudge != y.nudge) {
            return false;
        }
    }
    return true;
}

bool sameBars(const Pattern& a, const Pattern& b) {
    if (a.bars.size() != b.bars.size()) return false;
    for (std::size_t i = 0; i < a.bars.size(); ++i) {
        if (!sameNotes(a.bars[i], b.bars[i])) return false;
    }
    return true;
}

void expectSameHead(const Pattern& result, const Pattern& settings) {
    EXPECT_EQ(result.genre, settings.genre);
    EXPECT_EQ(result.preset, settings.preset);
    EXPECT_EQ(result.energy, settings.energy);
    EXPECT_EQ(result.groove, settings.groove);
    EXPECT_EQ(result.lock, settings.lock);
    EXPECT_EQ(result.seed, settings.seed);
    EXPECT_EQ(result.rootNote, settings.rootNote);
    EXPECT_EQ(result.scale, settings.scale);
    EXPECT_EQ(result.swing, settings.swing);
}

TEST(StylePreset, CopiesTheRowAndPicksTheScaleByGenre) {
    Pattern settings(4, 40, 3);
    settings.seed = 77;
    settings.kicks = {0x1111, 0, 0x0101, 0};
    applyStylePreset(settings, 4);  // "Acid: Squelch"
    EXPECT_EQ(settings.preset, 4);
    EXPECT_EQ(settings.genre, 2);
    EXPECT_EQ(settings.energy, 0.6f);
    EXPECT_EQ(settings.groove, 0.5f);
    EXPECT_EQ(settings.lock, 0.0f);
    EXPECT_EQ(settings.swing, 0.1f);
    EXPECT_EQ(settings.scale, 4) << "Phrygian for Acid";
    EXPECT_EQ(settings.rootNote, 40);
    EXPECT_EQ(settings.seed, 77u);
    EXPECT_EQ(settings.bars.size(), 4u);
    EXPECT_EQ(settings.kicks[2], 0x0101);

    applyStylePreset(settings, 1);
    EXPECT_EQ(settings.scale, 0) << "Minor for the others";
    EXPECT_EQ(settings.genre, 0);
}

TEST(StylePreset, IndexIsClamped) {
    Pattern high(4, 36, 0);
    applyStylePreset(high, 12);
    Pattern nine(4, 36, 0);
    applyStylePreset(nine, 9);
    EXPECT_EQ(high.preset, 9);
    EXPECT_EQ(high.genre, nine.genre);
    EXPECT_EQ(high.energy, nine.energy);

    Pattern low(4, 36, 0);
    applyStylePreset(low, -1);
    EXPECT_EQ(low.preset, 0);
    EXPECT_EQ(low.swing, 0.12f);
}

TEST(StylePreset, DiffersWhenAStyleValueMovesButNotTheGenre) {
    Pattern settings = styled(4, 6, 1);
    EXPECT_FALSE(styleDiffersFromPreset(settings));
    settings.genre = 0;
    EXPECT_FALSE(styleDiffersFromPreset(settings));
    for (float Pattern::*field : {&Pattern::energy, &Pattern::groove, &Pattern::lock, &Pattern::swing}) {
        Pattern edited = styled(4, 6, 1);
        edited.*field = std::nextafter(edited.*field, 2.0f);
        EXPECT_TRUE(styleDiffersFromPreset(edited));
    }
    settings = styled(4, 9, 1);
    settings.preset = 40;  // compared with row 9
    EXPECT_FALSE(styleDiffersFromPreset(settings));
    settings.energy = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(styleDiffersFromPreset(settings));
}

TEST(KickWeights, FollowGrooveLockAndThePresetsBeforeAndAfter) {
    const Pattern deep = styled(4, 0, 1);  // groove 0.9, lock 0.9, before 0, after -0.2
    const std::array<float, 4> w = kickWeights(deep);
    EXPECT_FLOAT_EQ(w[0], -0.72f);
    EXPECT_FLOAT_EQ(w[1], 0.72f);
    EXPECT_EQ(w[2], 0.0f);
    EXPECT_FLOAT_EQ(w[3], -0.18f);

    float out[4];
    kickWeights(out, styled(4, 6, 1));  // Trance: groove 0.9, lock 1, before and after 0.5
    EXPECT_FLOAT_EQ(out[0], -0.8f);
    EXPECT_FLOAT_EQ(out[1], 0.8f);
    EXPECT_EQ(out[2], 0.5f);
    EXPECT_EQ(out[3], 0.5f);

    Pattern wild = styled(4, 2, 1);
    wild.groove = 3.0f;  // clamped to 1
    wild.lock = std::numeric_limits<float>::quiet_NaN();
    for (float v : kickWeights(wild)) EXPECT_EQ(v, 0.0f) << "no lock, no pull";
    wild.lock = 1.0f;
    EXPECT_EQ(kickWeights(wild)[0], -1.0f);
}

TEST(Generation, SameSettingsGiveTheSamePattern) {
    for (int preset = 0; preset < kStylePresetCount; ++preset) {
        const Pattern settings = styled(16, preset, 1000u + static_cast<std::uint32_t>(preset));
        const Pattern a = generatePattern(settings);
        const Pattern b = generatePattern(settings);
        EXPECT_TRUE(sameBars(a, b)) << preset;
        EXPECT_EQ(a.kicks, b.kicks);
    }
}

TEST(Generation, DifferentSeedsGiveDifferentPatterns) {
    std::set<std::vector<int>> shapes;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        const Pattern p = generatePattern(styled(4, 5, seed));
        std::vector<int> shape;
        for (const BarNotes& bar : p.bars) {
            for (const PatternNote& n : bar) shape.push_back(n.step * 100 + n.degree);
        }
        shapes.insert(shape);
    }
    EXPECT_GT(shapes.size(), 10u);
}

TEST(Generation, TheHeadOfTheResultIsTheSettings) {
    for (int preset = 0; preset < kStylePresetCount; ++preset) {
        Pattern settings = styled(8, preset, 5);
        settings.rootNote = 29;
        settings.scale = 3;
        settings.energy = 0.83f;
        settings.swing = 0.3f;
        const Pattern result = generatePattern(settings);
        SCOPED_TRACE(preset);
        expectSameHead(result, settings);
        EXPECT_EQ(result.bars.size(), 8u);
        EXPECT_EQ(result.kicks.size(), 8u);
    }
}

TEST(Generation, KickMasksAreStoredAsGiven) {
    Pattern settings = styled(4, 7, 3);  // DnB: a bar with mask 0 is written against 0x0401
    settings.kicks = {0, 0x0101, 0, 0};
    const Pattern result = generatePattern(settings);
    EXPECT_EQ(result.kicks, (std::vector<std::uint16_t>{0, 0x0101, 0, 0}));

    Pattern explicitDefault = settings;
    explicitDefault.kicks = {0x0401, 0x0101, 0x0401, 0x0401};
    const Pattern same = generatePattern(explicitDefault);
    EXPECT_TRUE(sameBars(result, same)) << "mask 0 plays as the genre's default kick";
    EXPECT_EQ(same.kicks[0], 0x0401);

    settings.kicks = {0x1111};
    EXPECT_EQ(generatePattern(settings).kicks, (std::vector<std::uint16_t>{0x1111, 0, 0, 0}))
        << "zero-extended";
    settings.kicks = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(generatePattern(settings).kicks, (std::vector<std::uint16_t>{1, 2, 3, 4})) << "cut";
}

// Accents a generated note can carry before scaling: a template's, or 0.7 of another note's.
std::set<float> reachableAccents(int genre) {
    std::set<float> accents;
    const GenreRules& rules = genreRules(genre);
    for (int t = 0; t < rules.templateCount; ++t) {
        for (int i = 0; i < rules.templates[t].count; ++i) accents.insert(rules.templates[t].notes[i].accent);
    }
    for (int round = 0; round < 6; ++round) {
        const std::set<float> known = accents;
        for (float a : known) accents.insert(0.7f * a);
    }
    return accents;
}

TEST(Generation, EnergyHalfLeavesAccentsAloneAndOtherEnergiesSpreadThem) {
    for (int genre = 0; genre < kGenreCount; ++genre) {
        const std::set<float> reachable = reachableAccents(genre);
        std::set<float> spread;  // energy 0: spread 0.5, every accent pulled halfway to 0.5
        for (float a : reachable) spread.insert(std::clamp((a - 0.5f) * 0.5f + 0.5f, 0.0f, 1.0f));
        int moved = 0;
        for (std::uint32_t seed = 1; seed <= 40; ++seed) {
            Pattern settings = styled(8, 0, seed);
            settings.genre = genre;
            settings.energy = 0.5f;
            for (const BarNotes& bar : generatePattern(settings).bars) {
                for (const PatternNote& n : bar) {
                    EXPECT_TRUE(reachable.count(n.accent)) << genre << " " << seed << " " << n.accent;
                }
            }
            settings.energy = 0.0f;
            for (const BarNotes& bar : generatePattern(settings).bars) {
                for (const PatternNote& n : bar) {
                    EXPECT_TRUE(spread.count(n.accent)) << genre << " " << seed << " " << n.accent;
                    moved += reachable.count(n.accent) == 0;
                }
            }
        }
        EXPECT_GT(moved, 0) << genre;
    }
    // Energy 1: spread 1.5, and an anchor's accent of 1 stays clamped at 1.
    Pattern loud = styled(4, 1, 9);
    loud.energy = 1.0f;
    for (const BarNotes& bar : generatePattern(loud).bars) {
        for (const PatternNote& n : bar) {
            EXPECT_LE(n.accent, 1.0f);
            EXPECT_GE(n.accent, 0.0f);
        }
    }
}

TEST(Generation, SeedZeroPlaysLikeTheGoldenRatioSeed) {
    Pattern zero = styled(8, 2, 0);
    Pattern golden = styled(8, 2, 0x9E3779B9u);
    const Pattern a = generatePattern(zero);
    const Pattern b = generatePattern(golden);
    EXPECT_TRUE(sameBars(a, b));
    EXPECT_EQ(a.seed, 0u);
    EXPECT_EQ(b.seed, 0x9E3779B9u);
}

TEST(Generation, FourBarGroupsRepeatAPhraseAndEndInAFill) {
    int fills = 0;
    int changedGroups = 0;
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        Pattern settings = styled(8, 1, seed);
        settings.kicks.assign(8, 0x1111);
        const Pattern p = generatePattern(settings);
        // Same kick in every bar: bars 0-2 and 4-6 each restate their group's phrase.
        EXPECT_TRUE(sameNotes(p.bars[0], p.bars[1]) && sameNotes(p.bars[1], p.bars[2])) << seed;
        EXPECT_TRUE(sameNotes(p.bars[4], p.bars[5]) && sameNotes(p.bars[5], p.bars[6])) << seed;
        fills += !sameNotes(p.bars[3], p.bars[2]);
        changedGroups += !sameNotes(p.bars[4], p.bars[0]);
    }
    EXPECT_GT(fills, 30);
    EXPECT_GT(changedGroups, 30);
}

TEST(Generation, NoMutationsMeansEveryBarIsTheMotif) {
    GeneratorParams params;
    params.bars = 8;
    params.energyMapped = 0.1f;  // rounds to no mutations
    params.kicks.assign(8, 0x1111);
    for (std::uint32_t seed = 1; seed <= 50; ++seed) {
        const Pattern p = generateFromSeed(0, seed, params);
        for (std::size_t bar = 1; bar < p.bars.size(); ++bar) {
            EXPECT_TRUE(sameNotes(p.bars[bar], p.bars[0])) << seed << " bar " << bar;
        }
        // The motif is one of the three House templates, untouched (no kick weights).
        const GenreRules& house = genreRules(0);
        bool isTemplate = false;
        for (int t = 0; t < 3; ++t) {
            const NoteTemplate& tpl = house.templates[t];
            isTemplate = isTemplate || sameNotes(p.bars[0], BarNotes(tpl.notes, tpl.notes + tpl.count));
        }
        EXPECT_TRUE(isTemplate) << seed;
    }
}

TEST(Generation, UntrustedSettingsAreClampedNotUndefined) {
    Pattern settings = styled(4, 3, 11);
    settings.genre = 17;
    settings.scale = -4;
    settings.preset = 99;
    const Pattern result = generatePattern(settings);
    EXPECT_EQ(result.genre, 5);
    EXPECT_EQ(result.scale, 0);
    EXPECT_EQ(result.preset, 9);
    Pattern inRange = settings;
    inRange.genre = 5;
    inRange.scale = 0;
    EXPECT_TRUE(sameBars(result, generatePattern(inRange)));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    Pattern broken = styled(4, 2, 3);
    broken.energy = nan;
    broken.groove = -std::numeric_limits<float>::infinity();
    broken.lock = nan;
    broken.rootNote = std::numeric_limits<int>::max();
    broken.bars.clear();
    broken.kicks.clear();
    const Pattern p = generatePattern(broken);
    ASSERT_EQ(p.bars.size(), 1u) << "no bars still gives one";
    EXPECT_EQ(p.kicks, (std::vector<std::uint16_t>{0}));
    EXPECT_FALSE(p.bars[0].empty());
    EXPECT_EQ(p.rootNote, std::numeric_limits<int>::max());
    for (const PatternNote& n : p.bars[0]) EXPECT_FALSE(std::isnan(n.accent));

    GeneratorParams params;
    params.bars = 4;
    for (float mapped : {nan, 1e30f, -1e30f, std::numeric_limits<float>::infinity()}) {
        params.energyMapped = mapped;
        params.energy = mapped;
        const Pattern q = generateFromSeed(-3, 8, params);
        EXPECT_EQ(q.genre, 0);
        EXPECT_EQ(q.bars.size(), 4u);
    }
}

TEST(Generation, TheCoreTakesTheGenresScaleWithoutUseScale) {
    GeneratorParams params;
    params.bars = 4;
    params.scale = 3;
    params.useScale = 0;
    EXPECT_EQ(generateFromSeed(2, 1, params).scale, 4);
    EXPECT_EQ(generateFromSeed(3, 1, params).scale, 0);
    params.useScale = 1;
    EXPECT_EQ(generateFromSeed(2, 1, params).scale, 3);
}

TEST(Generation, TheEditorsFirstPatternHasFourFullBars) {
    Pattern settings(4, 36, 0);
    applyStylePreset(settings, 0);
    settings.seed = 42;
    const Pattern p = generatePattern(settings);
    ASSERT_EQ(p.bars.size(), 4u);
    for (const BarNotes& bar : p.bars) {
        EXPECT_GE(bar.size(), 2u);
        EXPECT_LE(bar.size(), 7u);
    }
}

}  // namespace
}  // namespace tarn
