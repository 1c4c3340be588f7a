// The bass line: sixteen-step bars of notes, a kick mask per bar, and the generator settings.
#pragma once

#include <cstdint>
#include <vector>

namespace tarn {

inline constexpr int kStepsPerBar = 16;

struct PatternNote {
    std::int32_t step = 0;     // 0-15 within the bar
    std::int32_t degree = 0;   // semitones above the pattern's root note
    float gate = 1.0f;         // length in steps
    float accent = 0.0f;       // 0..1
    std::uint8_t slide = 0;    // 1 = reached by a slide from the previous note
    std::uint8_t anchor = 0;   // 1 = pinned to one of the genre's anchor steps
    float nudge = 0.0f;        // timing offset in fractions of a step, negative = early
};

struct Pattern {
    // Settings head: also the generator's input.
    std::int32_t genre = 0;
    std::int32_t preset = 0;
    float energy = 0.5f;
    float groove = 0.5f;
    float lock = 0.0f;
    std::uint32_t seed = 0;
    std::int32_t rootNote = 36;
    std::int32_t scale = 0;
    float swing = 0.0f;  // delay of the odd steps in fractions of a step

    // bars and kicks always have the same length; bit i of a kick mask = a kick on step i.
    std::vector<std::vector<PatternNote>> bars;
    std::vector<std::uint16_t> kicks;

    Pattern(int barCount, int rootNote, int scale);
};

}  // namespace tarn
