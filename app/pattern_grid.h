// The piano roll's pitch rows, where a note starts on the step grid, and MIDI note names.
#pragma once

#include "engine/pattern.h"

#include <array>
#include <cstdint>

namespace tarn {

inline constexpr int kMaxPatternRows = 16;

// The roll's pitch rows, top to bottom: the scale's degrees, then the other degrees the notes
// use (bars and notes in order), at most 16, sorted highest first.
struct PatternRows {
    std::array<std::int32_t, kMaxPatternRows> degrees{};
    int count = 0;

    // The row that shows `degree`, or -1: such a note is neither drawn nor hit.
    int rowOf(std::int32_t degree) const;
};

PatternRows patternRows(const Pattern& pattern);

// Where the note starts in steps of its bar: swing delays the odd steps by at most 0.45 of a
// step, and swing plus nudge stay within 0.45 either way, as the played line times it.
float noteStartStep(const PatternNote& note, float swing);

// "C2", "F#-1": the name of MIDI note m (octave m / 12 - 1, truncated), cut to the buffer.
struct NoteName {
    std::array<char, 12> text{};
    const char* c_str() const { return text.data(); }
};

NoteName noteName(int midiNote);

// The MIDI note a degree sounds: root plus degree with 32-bit wrap-around, as the line sums it.
int midiNoteOf(std::int32_t rootNote, std::int32_t degree);

}  // namespace tarn
