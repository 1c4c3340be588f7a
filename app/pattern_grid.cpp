// The piano roll's pitch rows, note starts on the step grid, and MIDI note names.
#include "app/pattern_grid.h"

#include "engine/generator_tables.h"
#include "engine/notes.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace tarn {

int PatternRows::rowOf(std::int32_t degree) const {
    for (int r = 0; r < count; ++r)
        if (degrees[static_cast<std::size_t>(r)] == degree) return r;
    return -1;
}

PatternRows patternRows(const Pattern& pattern) {
    PatternRows rows;
    auto add = [&rows](std::int32_t degree) {
        if (rows.count < kMaxPatternRows && rows.rowOf(degree) < 0)
            rows.degrees[static_cast<std::size_t>(rows.count++)] = degree;
    };
    const Scale& scale = scales[static_cast<std::size_t>(std::clamp(pattern.scale, 0, kScaleCount - 1))];
    for (int i = 0; i < scale.count; ++i) add(scale.semitones[static_cast<std::size_t>(i)]);
    for (const auto& bar : pattern.bars)
        for (const PatternNote& note : bar) add(note.degree);
    std::sort(rows.degrees.begin(), rows.degrees.begin() + rows.count, std::greater<>());
    return rows;
}

float noteStartStep(const PatternNote& note, float swing) {
    return static_cast<float>(note.step) + noteStepShift(note, swing);
}

NoteName noteName(int midiNote) {
    static constexpr const char* kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    NoteName name;
    std::snprintf(name.text.data(), name.text.size(), "%s%d", kNames[((midiNote % 12) + 12) % 12], midiNote / 12 - 1);
    return name;
}

int midiNoteOf(std::int32_t rootNote, std::int32_t degree) {
    return static_cast<int>(static_cast<std::uint32_t>(rootNote) + static_cast<std::uint32_t>(degree));
}

}  // namespace tarn
