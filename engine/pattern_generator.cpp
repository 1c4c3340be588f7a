// The generator pipeline: template, scale, kick placement, phrase, four-bar groups, fills, accents.
#include "engine/pattern_generator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/generator_random.h"

namespace tarn {
namespace {

// A NaN energy counts as 0, like an unset slider.
float clampUnit(float value) { return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f); }

// Mutations per variation: lroundf(energyMapped x 3), saturated. Our own ceiling of 16 (one per
// step of a bar) keeps a corrupt energy from stalling the UI thread in 32 x 2^31 mutations;
// generatePattern never goes above 3.
int mutationCount(float energyMapped) {
    const float scaled = energyMapped * 3.0f;
    if (!(scaled >= 0.5f)) return 0;  // NaN and everything that rounds to 0 or below
    if (scaled >= 16.0f) return 16;
    return static_cast<int>(std::lroundf(scaled));
}

KickContext barContext(const GeneratorParams& params, const GenreRules& rules, int bar, int scale) {
    KickContext ctx;
    const auto index = static_cast<std::size_t>(bar);
    ctx.kickMask = index < params.kicks.size() && params.kicks[index] != 0 ? params.kicks[index]
                                                                          : rules.defaultKick;
    ctx.scale = scale;
    ctx.snap = 1;
    ctx.weights = params.kickWeights;
    return ctx;
}

// Places a bar around its kicks and repairs its slides; when the placed bar breaks the rules the
// unplaced one is tried, then a variation of the placed one, then the unplaced one regardless.
BarNotes placeBar(const BarNotes& unplaced, const GenreRules& rules, const KickContext& ctx,
                  std::uint32_t& rng, int mutations) {
    BarNotes placed = placeAroundKicks(unplaced, rules, ctx);
    fixSlides(placed, rules, ctx);
    if (acceptBar(placed, rules, ctx)) return placed;
    if (acceptBar(unplaced, rules, ctx)) return unplaced;
    BarNotes varied = varyPattern(placed, rules, ctx, rng, std::max(mutations, 1));
    if (acceptBar(varied, rules, ctx)) return varied;
    return unplaced;
}

// The group variation asks for a change a listener would notice: count, step, degree or gate.
bool soundsDifferent(const BarNotes& a, const BarNotes& b) {
    if (a.size() != b.size()) return true;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].step != b[i].step || a[i].degree != b[i].degree || a[i].gate != b[i].gate) {
            return true;
        }
    }
    return false;
}

}  // namespace

Pattern generatePattern(const Pattern& settings) {
    GeneratorParams params;
    params.bars = static_cast<std::int32_t>(
        std::clamp<std::size_t>(settings.bars.size(), 1, std::numeric_limits<std::int32_t>::max()));
    params.energyMapped = clampUnit(settings.energy) * 0.6f + 0.4f;
    params.rootNote = settings.rootNote;
    params.scale = settings.scale;
    params.useScale = 1;
    params.kicks = settings.kicks;
    params.energy = settings.energy;
    kickWeights(params.kickWeights.data(), settings);

    Pattern result = generateFromSeed(settings.genre, settings.seed, params);
    result.preset = std::clamp(settings.preset, 0, kStylePresetCount - 1);
    result.energy = settings.energy;
    result.groove = settings.groove;
    result.lock = settings.lock;
    result.swing = settings.swing;
    return result;
}

Pattern generateFromSeed(int genre, std::uint32_t seed, const GeneratorParams& params) {
    genre = std::clamp(genre, 0, kGenreCount - 1);
    std::uint32_t rng = seedRandom(seed);
    GenreRules rules = genreRules(genre);
    // The template is picked from the first state without advancing it.
    const NoteTemplate& motifTemplate =
        rules.templates[rng % static_cast<std::uint32_t>(std::clamp(rules.templateCount, 1, 4))];

    const int scale = params.useScale ? std::clamp(params.scale, 0, kScaleCount - 1)
                                      : (genre == 2 ? 4 : 0);
    const int barCount = std::max(params.bars, 1);
    Pattern result(barCount, params.rootNote, scale);
    result.genre = genre;
    result.seed = seed;

    // Energy trades clearing notes against adding them.
    const float e = clampUnit(params.energy);
    const float fewer = 2.0f * (1.0f - e);
    rules.mutationWeights[kMutateDrop] *= fewer;
    rules.mutationWeights[kMutateAdd] *= 2.0f * e;
    rules.mutationWeights[kMutateDropRun] *= fewer;

    const int m = mutationCount(params.energyMapped);
    const KickContext firstContext = barContext(params, rules, 0, scale);

    // The motif: the template in the scale, fitted to the first bar's kick.
    BarNotes unplaced(motifTemplate.notes, motifTemplate.notes + motifTemplate.count);
    for (PatternNote& note : unplaced) note.degree = snapToScale(note.degree, scale, rules.snapMode);
    fixSlides(unplaced, rules, firstContext);
    BarNotes motif = placeAroundKicks(unplaced, rules, firstContext);
    fixSlides(motif, rules, firstContext);
    if (!acceptBar(motif, rules, firstContext)) {
        if (acceptBar(unplaced, rules, firstContext)) {
            motif = unplaced;
        } else {
            BarNotes varied = varyPattern(motif, rules, firstContext, rng, std::max(m, 1));
            motif = acceptBar(varied, rules, firstContext) ? std::move(varied) : unplaced;
        }
    }

    if (m >= 1) {
        const int delta = static_cast<int>(nextRandom(rng) % 3u) - 1;
        BarNotes alt = shiftGates(motif, rules, delta);
        fixSlides(alt, rules, firstContext);
        if (acceptBar(alt, rules, firstContext)) motif = std::move(alt);
    }

    // Every four-bar group restates one phrase, each group at most one mutation away from the
    // first group's phrase (never a chain of changes), and answers it with a fill in its last bar.
    const BarNotes groupPhrase = varyPattern(motif, rules, firstContext, rng, m);
    BarNotes phrase = groupPhrase;
    for (int bar = 0; bar < barCount; ++bar) {
        if (bar > 0 && bar % 4 == 0 && m >= 1) {
            phrase = groupPhrase;
            for (int attempt = 0; attempt < 8; ++attempt) {
                BarNotes varied = varyPattern(groupPhrase, rules, firstContext, rng, 1);
                if (soundsDifferent(varied, groupPhrase)) {
                    phrase = std::move(varied);
                    break;
                }
            }
        }
        const bool fill = bar % 4 == 3 || bar == barCount - 1;
        const BarNotes notes = fill ? varyPattern(phrase, rules, firstContext, rng, m) : phrase;
        const KickContext ctx = barContext(params, rules, bar, scale);
        result.bars[static_cast<std::size_t>(bar)] = placeBar(notes, rules, ctx, rng, m);
    }

    // Accents spread around 0.5 with energy; energy 0.5 leaves them exactly as written.
    const float spread = e + 0.5f;
    if (spread != 1.0f) {
        for (BarNotes& notes : result.bars) {
            for (PatternNote& note : notes) {
                note.accent = std::clamp((note.accent - 0.5f) * spread + 0.5f, 0.0f, 1.0f);
            }
        }
    }

    result.kicks = params.kicks;
    result.kicks.resize(static_cast<std::size_t>(barCount), 0);
    return result;
}

}  // namespace tarn
