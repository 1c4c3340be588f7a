// Constant tables of the pattern generator: style presets, genres with their rules and templates, scales.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/pattern.h"

namespace tarn {

inline constexpr int kGenreCount = 6;
inline constexpr int kScaleCount = 6;
inline constexpr int kStylePresetCount = 10;
inline constexpr int kMutationKinds = 8;

// One named style: the genre it is written for and where the line sits against the kick.
struct PatternStyle {
    const char* name;
    std::int32_t genre;
    float energy;
    float groove;
    float lock;
    float swing;       // fraction of a step
    float kickBefore;  // weight of the step just before a kick
    float kickAfter;   // weight of the step just after a kick
};

// Semitones above the root; the octave (12) is the last used entry, so a seven-tone scale
// has count 8. Slots beyond count hold 0.
struct Scale {
    const char* name;
    std::array<std::int32_t, 13> semitones;
    std::int32_t count;
};

// A one-bar rhythm template: a view of a constant note array.
struct NoteTemplate {
    const PatternNote* notes;
    std::int32_t count;
};

struct GenreRules {
    std::int32_t minNotes;
    std::int32_t maxNotes;
    std::int32_t maxRun;        // longest run of notes on consecutive steps
    float minRest;              // the bar's longest silence must be at least this (steps)
    std::uint16_t allowedSteps;  // bit i: a note may start on step i
    std::uint16_t anchorSteps;   // bit i: an anchor may start on step i
    std::array<std::int32_t, 6> degrees;
    std::int32_t degreeCount;
    float slideChance;
    std::array<float, 4> gates;  // gate lengths in steps, ascending
    std::int32_t gateCount;
    std::array<float, kMutationKinds> mutationWeights;  // relative, never normalised
    std::int32_t snapMode;  // 0 nearest, 1 nearest at or below, 2 choose among scale tones
    std::uint32_t defaultKick;  // kick mask for a bar whose own mask is 0
    std::array<NoteTemplate, 4> templates;
    std::int32_t templateCount;
};

// The ten style presets, in menu order.
std::span<const PatternStyle> stylePresets();

// The six scales, indexed by Pattern::scale.
extern const std::array<Scale, kScaleCount> scales;

// "House", "Techno", "Acid", "Trance", "DnB", "Dubstep". An index outside 0-5 is clamped.
const char* genreName(int genre);

// The rules of a genre. An index outside 0-5 is clamped.
const GenreRules& genreRules(int genre);

}  // namespace tarn
