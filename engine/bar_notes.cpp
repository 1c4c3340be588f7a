// Bar-level building blocks of the generator; every function here is deterministic given its inputs.
#include "engine/bar_notes.h"

#include <algorithm>
#include <cstdint>

#include "engine/generator_random.h"

namespace tarn {
namespace {

constexpr float kSlideOverlap = 11.0f / 24.0f;  // of a step: how far a note reaches into a slide

const Scale& scaleAt(int scale) {
    return scales[static_cast<std::size_t>(std::clamp(scale, 0, kScaleCount - 1))];
}

int usedGates(const GenreRules& rules) { return std::clamp(rules.gateCount, 1, 4); }
int usedDegrees(const GenreRules& rules) { return std::clamp(rules.degreeCount, 0, 6); }

bool stepIn(std::uint32_t mask, std::int32_t step) {
    return step >= 0 && step <= 15 && (mask & (1u << step)) != 0;
}

// Whether note i's successor slides from it. The last note of a bar has no successor here:
// a slide never crosses the bar line (the first note of a bar always loses its slide flag), even
// though the room after the last note is measured to the next bar's first note.
bool nextIsSlide(const BarNotes& notes, std::size_t i) {
    return i + 1 < notes.size() && notes[i + 1].slide != 0;
}

// Steps from note i to the next note's start, wrapping to the first note of the next bar.
std::int64_t distanceToNext(const BarNotes& notes, std::size_t i) {
    const std::int64_t next = i + 1 < notes.size() ? std::int64_t{notes[i + 1].step}
                                                   : std::int64_t{notes[0].step} + 16;
    return next - notes[i].step;
}

int indexAtStep(const BarNotes& notes, int step) {
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (notes[i].step == step) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

bool isScaleTone(int degree, int scale) {
    const Scale& s = scaleAt(scale);
    for (int i = 0; i < s.count; ++i) {
        if (s.semitones[static_cast<std::size_t>(i)] == degree) return true;
    }
    return false;
}

int snapToScale(int degree, int scale, int mode) {
    if (isScaleTone(degree, scale)) return degree;
    const Scale& s = scaleAt(scale);
    if (mode == 0 && s.count == 8) {
        static constexpr int kSevenToneIndex[13] = {0, 1, 1, 2, 2, 3, 3, 4, 5, 5, 6, 6, 7};
        return s.semitones[static_cast<std::size_t>(kSevenToneIndex[std::clamp(degree, 0, 12)])];
    }
    int best = s.semitones[0];
    if (mode == 1) {
        for (int i = 0; i < s.count; ++i) {
            const int tone = s.semitones[static_cast<std::size_t>(i)];
            if (tone <= degree) best = tone;
        }
        return best;
    }
    // Distances in 64 bits: a degree read from a file may lie anywhere in the int range.
    auto distance = [degree](int tone) {
        const std::int64_t d = std::int64_t{tone} - degree;
        return d < 0 ? -d : d;
    };
    for (int i = 1; i < s.count; ++i) {
        const int tone = s.semitones[static_cast<std::size_t>(i)];
        if (distance(tone) < distance(best)) best = tone;
    }
    return best;
}

int pickDegree(const GenreRules& rules, const KickContext& ctx, std::uint32_t& rng) {
    const int count = usedDegrees(rules);
    if (count == 0) return 0;
    if (ctx.snap == 0) return rules.degrees[static_cast<std::size_t>(randomChoice(rng, count))];
    if (rules.snapMode == 2) {
        int candidates[6];
        int found = 0;
        for (int i = 0; i < count; ++i) {
            const int degree = rules.degrees[static_cast<std::size_t>(i)];
            if (isScaleTone(degree, ctx.scale)) candidates[found++] = degree;
        }
        if (found > 0) return candidates[randomChoice(rng, found)];
    }
    const int degree = rules.degrees[static_cast<std::size_t>(randomChoice(rng, count))];
    return snapToScale(degree, ctx.scale, rules.snapMode);
}

float roomAfter(const BarNotes& notes, int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= notes.size()) return 0.0f;
    return static_cast<float>(distanceToNext(notes, static_cast<std::size_t>(i)));
}

float longestRest(const BarNotes& notes) {
    if (notes.empty()) return 16.0f;
    float longest = 0.0f;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        longest = std::max(longest, roomAfter(notes, static_cast<int>(i)) - notes[i].gate);
    }
    return longest;
}

bool hasNoteAt(const BarNotes& notes, int step) { return indexAtStep(notes, step) >= 0; }

void sortByStep(BarNotes& notes) {
    // Insertion sort: bars hold at most a few dozen notes and this never allocates.
    for (std::size_t i = 1; i < notes.size(); ++i) {
        const PatternNote moving = notes[i];
        std::size_t j = i;
        while (j > 0 && notes[j - 1].step > moving.step) {
            notes[j] = notes[j - 1];
            --j;
        }
        notes[j] = moving;
    }
}

void clampGate(BarNotes& notes, const GenreRules& rules, int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= notes.size()) return;
    const auto index = static_cast<std::size_t>(i);
    if (nextIsSlide(notes, index)) return;
    const float room = roomAfter(notes, i);
    PatternNote& note = notes[index];
    if (!(note.gate > room)) return;
    float fitted = rules.gates[0];
    bool fits = false;
    for (int g = 0; g < usedGates(rules); ++g) {
        const float gate = rules.gates[static_cast<std::size_t>(g)];
        if (gate <= room && (!fits || gate > fitted)) {
            fitted = gate;
            fits = true;
        }
    }
    note.gate = fitted;
}

void moveNote(BarNotes& notes, const GenreRules& rules, int from, int to) {
    const int index = indexAtStep(notes, from);
    if (index < 0) return;
    notes[static_cast<std::size_t>(index)].step = to;
    sortByStep(notes);
    const int moved = indexAtStep(notes, to);
    clampGate(notes, rules, moved - 1);
    clampGate(notes, rules, moved);
}

BarNotes shiftGates(BarNotes notes, const GenreRules& rules, int delta) {
    if (delta == 0) return notes;
    const int gateCount = usedGates(rules);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        int index = -1;
        for (int g = 0; g < gateCount; ++g) {
            if (notes[i].gate == rules.gates[static_cast<std::size_t>(g)]) index = g;
        }
        if (index < 0) continue;
        const std::int64_t shifted = std::clamp<std::int64_t>(std::int64_t{index} + delta, 0, gateCount - 1);
        const float gate = rules.gates[static_cast<std::size_t>(shifted)];
        if (nextIsSlide(notes, i) || static_cast<float>(distanceToNext(notes, i)) >= gate) {
            notes[i].gate = gate;
        }
    }
    return notes;
}

BarNotes placeAroundKicks(BarNotes notes, const GenreRules& rules, const KickContext& ctx) {
    if ((ctx.kickMask & 0xFFFFu) == 0) return notes;
    if (std::all_of(ctx.weights.begin(), ctx.weights.end(), [](float w) { return w == 0.0f; })) {
        return notes;
    }
    const std::uint16_t allowed = kickFilteredSteps(rules, ctx);

    // Off the steps the kick pushes away: to the best free neighbour, or out of the bar.
    for (int step = 0; step < 16; ++step) {
        if (kickWeightAt(ctx, step) > -0.5f) continue;
        const int index = indexAtStep(notes, step);
        if (index < 0 || notes[static_cast<std::size_t>(index)].anchor) continue;
        int target = -1;
        float bestWeight = -2.0f;
        for (int offset : {1, -1, 2, -2}) {
            const int candidate = step + offset;
            if (!stepIn(allowed, candidate) || hasNoteAt(notes, candidate)) continue;
            const float weight = kickWeightAt(ctx, candidate);
            if (weight > bestWeight) {
                bestWeight = weight;
                target = candidate;
            }
        }
        if (target >= 0) {
            moveNote(notes, rules, step, target);
        } else {
            notes.erase(notes.begin() + index);
        }
    }

    // Onto the empty steps the kick pulls towards, from a weaker neighbour.
    for (int step = 0; step < 16; ++step) {
        const float weight = kickWeightAt(ctx, step);
        if (weight < 0.5f || hasNoteAt(notes, step) || !stepIn(allowed, step)) continue;
        for (int neighbour : {step - 1, step + 1}) {
            const int index = indexAtStep(notes, neighbour);
            if (index < 0 || notes[static_cast<std::size_t>(index)].anchor) continue;
            if (kickWeightAt(ctx, neighbour) < weight) {
                moveNote(notes, rules, neighbour, step);
                break;
            }
        }
    }
    return notes;
}

int pickUnanchored(const BarNotes& notes, std::uint32_t& rng) {
    const auto unanchored = static_cast<int>(
        std::count_if(notes.begin(), notes.end(), [](const PatternNote& n) { return n.anchor == 0; }));
    if (unanchored == 0) return -1;
    int wanted = randomChoice(rng, unanchored);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (notes[i].anchor == 0 && wanted-- == 0) return static_cast<int>(i);
    }
    return -1;
}

void fixSlides(BarNotes& notes, const GenreRules& rules, const KickContext& ctx) {
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (!notes[i].slide) continue;
        if (i == 0 || notes[i].degree == notes[i - 1].degree) {
            notes[i].slide = 0;
            continue;
        }
        PatternNote& before = notes[i - 1];
        const float need =
            static_cast<float>(std::int64_t{notes[i].step} - before.step) + kSlideOverlap;
        if (before.gate > need) continue;
        const float oldGate = before.gate;
        bool reached = false;
        for (int g = 0; g < usedGates(rules); ++g) {
            const float gate = rules.gates[static_cast<std::size_t>(g)];
            if (gate > need) {
                before.gate = gate;
                reached = acceptBar(notes, rules, ctx);
                break;
            }
        }
        if (!reached) {
            notes[i - 1].gate = oldGate;
            notes[i].slide = 0;
        }
    }
}

bool acceptBar(const BarNotes& notes, const GenreRules& rules, const KickContext& ctx) {
    const auto count = static_cast<std::int64_t>(notes.size());
    if (count < 1 || count < rules.minNotes || count > rules.maxNotes) return false;

    int run = 1;
    for (std::size_t i = 1; i < notes.size(); ++i) {
        run = std::int64_t{notes[i].step} == std::int64_t{notes[i - 1].step} + 1 ? run + 1 : 1;
        if (run > rules.maxRun) return false;
    }
    if (!(longestRest(notes) >= rules.minRest)) return false;

    const std::uint16_t unanchoredSteps = kickFilteredSteps(rules, ctx);
    bool anyAnchor = false;
    bool anyFree = false;
    float shortestAnchor = 0.0f;
    float shortestFree = 0.0f;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const PatternNote& note = notes[i];
        if (!stepIn(rules.allowedSteps, note.step)) return false;
        if (!stepIn(note.anchor ? rules.anchorSteps : unanchoredSteps, note.step)) return false;
        if (i > 0) {
            if (note.step <= notes[i - 1].step) return false;
            const std::int64_t leap = std::int64_t{note.degree} - notes[i - 1].degree;
            if (leap > 12 || leap < -12) return false;
        }
        if (note.anchor) {
            shortestAnchor = anyAnchor ? std::min(shortestAnchor, note.gate) : note.gate;
            anyAnchor = true;
        } else {
            shortestFree = anyFree ? std::min(shortestFree, note.gate) : note.gate;
            anyFree = true;
        }
    }
    if (!anyAnchor) return false;
    return !anyFree || !(shortestFree > shortestAnchor);
}

}  // namespace tarn
