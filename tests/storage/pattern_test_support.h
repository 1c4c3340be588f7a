// Random patterns and bit-exact pattern comparison for the storage tests.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>

#include "engine/pattern.h"

namespace tarn::test {

inline bool sameFloatBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

// The first difference between two patterns, bit for bit; empty when they agree.
inline std::string firstPatternDifference(const Pattern& a, const Pattern& b) {
    std::ostringstream out;
    if (a.genre != b.genre) out << "genre " << a.genre << " vs " << b.genre;
    else if (a.preset != b.preset) out << "preset " << a.preset << " vs " << b.preset;
    else if (!sameFloatBits(a.energy, b.energy)) out << "energy " << a.energy << " vs " << b.energy;
    else if (!sameFloatBits(a.groove, b.groove)) out << "groove " << a.groove << " vs " << b.groove;
    else if (!sameFloatBits(a.lock, b.lock)) out << "lock " << a.lock << " vs " << b.lock;
    else if (a.seed != b.seed) out << "seed " << a.seed << " vs " << b.seed;
    else if (a.rootNote != b.rootNote) out << "rootNote " << a.rootNote << " vs " << b.rootNote;
    else if (a.scale != b.scale) out << "scale " << a.scale << " vs " << b.scale;
    else if (!sameFloatBits(a.swing, b.swing)) out << "swing " << a.swing << " vs " << b.swing;
    else if (a.bars.size() != b.bars.size()) out << "bar count " << a.bars.size() << " vs " << b.bars.size();
    else if (a.kicks != b.kicks) out << "kick masks differ";
    if (!out.str().empty()) return out.str();
    for (std::size_t i = 0; i < a.bars.size(); ++i) {
        if (a.bars[i].size() != b.bars[i].size()) return "bar " + std::to_string(i) + " note count";
        for (std::size_t j = 0; j < a.bars[i].size(); ++j) {
            const PatternNote& x = a.bars[i][j];
            const PatternNote& y = b.bars[i][j];
            if (x.step != y.step || x.degree != y.degree || !sameFloatBits(x.gate, y.gate) ||
                !sameFloatBits(x.accent, y.accent) || x.slide != y.slide || x.anchor != y.anchor ||
                !sameFloatBits(x.nudge, y.nudge))
                return "bar " + std::to_string(i) + " note " + std::to_string(j);
        }
    }
    return {};
}

// Any finite float, denormals and negative zero included.
inline float randomFiniteFloat(std::mt19937& random) {
    for (;;) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(value)) return value;
    }
}

// A pattern with every field drawn at random within what the model can hold: genre and scale
// within their tables, steps within the bar, flags 0 or 1, any finite floats and integers.
inline Pattern randomPattern(std::mt19937& random) {
    auto below = [&random](std::uint32_t n) { return static_cast<std::int32_t>(random() % n); };
    Pattern pattern(1 + below(8), static_cast<std::int32_t>(random()), below(6));
    pattern.genre = below(6);
    pattern.preset = static_cast<std::int32_t>(random());
    pattern.energy = randomFiniteFloat(random);
    pattern.groove = randomFiniteFloat(random);
    pattern.lock = randomFiniteFloat(random);
    pattern.seed = static_cast<std::uint32_t>(random());
    pattern.swing = randomFiniteFloat(random);
    for (std::size_t b = 0; b < pattern.bars.size(); ++b) {
        const int count = below(12);
        for (int n = 0; n < count; ++n) {
            PatternNote note;
            note.step = below(16);
            note.degree = static_cast<std::int32_t>(random());
            note.gate = randomFiniteFloat(random);
            note.accent = randomFiniteFloat(random);
            note.slide = static_cast<std::uint8_t>(below(2));
            note.anchor = static_cast<std::uint8_t>(below(2));
            note.nudge = randomFiniteFloat(random);
            pattern.bars[b].push_back(note);
        }
        pattern.kicks[b] = static_cast<std::uint16_t>(random());
    }
    return pattern;
}

}  // namespace tarn::test
