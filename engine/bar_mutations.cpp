// The eight mutation kinds and the weighted, acceptance-checked variation of a bar.
#include "engine/bar_mutations.h"

#include <algorithm>

#include "engine/generator_random.h"

namespace tarn {
namespace {

bool stepIn(std::uint32_t mask, std::int64_t step) {
    return step >= 0 && step <= 15 && (mask & (1u << step)) != 0;
}

int noteCount(const BarNotes& notes) { return static_cast<int>(notes.size()); }
int usedGates(const GenreRules& rules) { return std::clamp(rules.gateCount, 1, 4); }

// Named "nudge" for how it sounds: the note moves one or two whole steps. It changes the note's
// step, never its nudge field, and leaves gates as they are (no clamp, only a re-sort).
void nudge(BarNotes& notes, const GenreRules& rules, const KickContext& ctx, std::uint32_t& rng) {
    if (notes.empty()) return;  // nothing to choose: no random step taken
    PatternNote& note = notes[static_cast<std::size_t>(randomChoice(rng, noteCount(notes)))];
    const std::uint32_t mask = note.anchor ? rules.anchorSteps : kickFilteredSteps(rules, ctx);
    const int direction = unitDraw(rng) < 0.5f ? -1 : 1;
    for (int distance = 1; distance <= 2; ++distance) {
        const std::int64_t target = std::int64_t{note.step} + direction * distance;
        if (stepIn(mask, target) && !hasNoteAt(notes, static_cast<int>(target))) {
            note.step = static_cast<int>(target);
            sortByStep(notes);
            return;
        }
    }
}

void drop(BarNotes& notes, std::uint32_t& rng) {
    const int index = pickUnanchored(notes, rng);
    if (index >= 0) notes.erase(notes.begin() + index);
}

// When the target step is unusable the mutation ends there: the degree and slide draws of the
// new note are not made.
void addNeighbour(BarNotes& notes, const GenreRules& rules, const KickContext& ctx,
                  std::uint32_t& rng) {
    if (notes.empty()) return;
    const PatternNote chosen = notes[static_cast<std::size_t>(randomChoice(rng, noteCount(notes)))];
    const std::int64_t target = std::int64_t{chosen.step} + (unitDraw(rng) < 0.5f ? -1 : 1);
    if (!stepIn(kickFilteredSteps(rules, ctx), target) || hasNoteAt(notes, static_cast<int>(target))) {
        return;
    }
    PatternNote added;
    added.step = static_cast<int>(target);
    added.degree = pickDegree(rules, ctx, rng);
    added.gate = rules.gates[0];
    added.accent = 0.7f * chosen.accent;
    // The slide draw is made even in genres whose slide chance is 0, so every genre draws alike.
    added.slide = unitDraw(rng) < rules.slideChance ? 1 : 0;
    added.anchor = 0;
    added.nudge = chosen.nudge;
    notes.push_back(added);
    sortByStep(notes);
}

void octaveFlip(BarNotes& notes, std::uint32_t& rng) {
    const int index = pickUnanchored(notes, rng);
    if (index < 0) return;
    int& degree = notes[static_cast<std::size_t>(index)].degree;
    if (degree == 0) {
        degree = 12;
    } else if (degree == 12) {
        degree = 0;
    }
}

void newDegree(BarNotes& notes, const GenreRules& rules, const KickContext& ctx, std::uint32_t& rng) {
    const int index = pickUnanchored(notes, rng);
    if (index >= 0) notes[static_cast<std::size_t>(index)].degree = pickDegree(rules, ctx, rng);
}

void newGate(BarNotes& notes, const GenreRules& rules, std::uint32_t& rng) {
    if (notes.empty()) return;
    const int index = randomChoice(rng, noteCount(notes));
    const auto i = static_cast<std::size_t>(index);
    // The last note of a bar has no sliding successor (see nextIsSlide in bar_notes.cpp).
    const bool nextSlides = i + 1 < notes.size() && notes[i + 1].slide != 0;
    const float room = nextSlides ? 16.0f : roomAfter(notes, index);
    int longest = 0;
    for (int g = 1; g < usedGates(rules); ++g) {
        if (rules.gates[static_cast<std::size_t>(g)] > room) break;
        longest = g;
    }
    notes[i].gate = rules.gates[static_cast<std::size_t>(randomChoice(rng, longest + 1))];
}

// The run's start and length are drawn before the anchor test, so a run that holds an anchor
// still takes its two random steps. The note before the run is lengthened only when the next
// longer gate fits in half of its new room (gate <= room / 2).
void dropRun(BarNotes& notes, const GenreRules& rules, std::uint32_t& rng) {
    const int available = std::min(noteCount(notes) - rules.minNotes, 3);
    if (available < 2) return;
    const int length = 2 + randomChoice(rng, available - 1);
    const int start = randomChoice(rng, noteCount(notes) - length + 1);
    const auto first = notes.begin() + start;
    const auto last = first + length;
    if (std::any_of(first, last, [](const PatternNote& n) { return n.anchor != 0; })) return;
    notes.erase(first, last);
    if (start == 0) return;
    PatternNote& before = notes[static_cast<std::size_t>(start - 1)];
    const float room = roomAfter(notes, start - 1);
    for (int g = 0; g < usedGates(rules); ++g) {
        const float gate = rules.gates[static_cast<std::size_t>(g)];
        if (gate > before.gate) {
            if (gate <= room * 0.5f) before.gate = gate;
            return;
        }
    }
}

// Both draws (direction and size) are always made, even when the rotation is then refused.
void rotate(BarNotes& notes, const GenreRules& rules, const KickContext& ctx, std::uint32_t& rng) {
    const bool earlier = unitDraw(rng) < 0.5f;
    const int size = 1 + static_cast<int>(nextRandom(rng) & 1u);
    const int shift = earlier ? -size : size;
    const std::uint16_t allowed = kickFilteredSteps(rules, ctx);
    BarNotes rotated = notes;
    for (PatternNote& note : rotated) {
        if (note.anchor) continue;
        const std::int64_t moved = ((std::int64_t{note.step} + shift) % 16 + 16) % 16;
        if (!stepIn(allowed, moved)) return;
        note.step = static_cast<int>(moved);
    }
    sortByStep(rotated);
    for (std::size_t i = 1; i < rotated.size(); ++i) {
        if (rotated[i].step == rotated[i - 1].step) return;
    }
    notes = std::move(rotated);
}

}  // namespace

void applyMutation(BarNotes& notes, const GenreRules& rules, const KickContext& ctx,
                   std::uint32_t& rng, int kind) {
    switch (kind) {
        case kMutateNudge: nudge(notes, rules, ctx, rng); break;
        case kMutateDrop: drop(notes, rng); break;
        case kMutateAdd: addNeighbour(notes, rules, ctx, rng); break;
        case kMutateOctave: octaveFlip(notes, rng); break;
        case kMutateDegree: newDegree(notes, rules, ctx, rng); break;
        case kMutateGate: newGate(notes, rules, rng); break;
        case kMutateDropRun: dropRun(notes, rules, rng); break;
        case kMutateRotate: rotate(notes, rules, ctx, rng); break;
        default: break;
    }
}

BarNotes varyPattern(const BarNotes& notes, const GenreRules& rules, const KickContext& ctx,
                     std::uint32_t& rng, int count) {
    if (count < 1) return notes;
    float total = 0.0f;
    for (float weight : rules.mutationWeights) total += weight;

    BarNotes attempt;
    attempt.reserve(notes.size() + static_cast<std::size_t>(std::min(count, 16)));
    for (int tries = 0; tries < 32; ++tries) {
        attempt.assign(notes.begin(), notes.end());
        for (int m = 0; m < count; ++m) {
            // Weights are subtracted one by one in kind order; a draw that rounding leaves above
            // every weight falls back to kind 0.
            float r = unitDraw(rng) * total;
            int kind = 0;
            for (int k = 0; k < kMutationKinds; ++k) {
                r -= rules.mutationWeights[static_cast<std::size_t>(k)];
                if (r <= 0.0f) {
                    kind = k;
                    break;
                }
            }
            applyMutation(attempt, rules, ctx, rng, kind);
        }
        fixSlides(attempt, rules, ctx);
        if (acceptBar(attempt, rules, ctx)) return attempt;
    }
    return notes;
}

}  // namespace tarn
