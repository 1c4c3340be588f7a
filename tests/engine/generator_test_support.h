// Hand-built notes and chosen random states for the generator's building-block tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/bar_notes.h"
#include "engine/generator_random.h"

namespace tarn::testing {

inline PatternNote note(int step, int degree = 0, float gate = 0.5f, float accent = 0.6f) {
    return PatternNote{step, degree, gate, accent, 0, 0, 0.0f};
}
inline PatternNote anchor(int step, int degree = 0, float gate = 0.5f) {
    return PatternNote{step, degree, gate, 1.0f, 0, 1, 0.0f};
}
inline PatternNote slide(int step, int degree, float gate = 0.5f) {
    return PatternNote{step, degree, gate, 0.6f, 1, 0, 0.0f};
}

inline std::vector<int> stepsOf(const BarNotes& notes) {
    std::vector<int> steps;
    for (const PatternNote& n : notes) steps.push_back(n.step);
    return steps;
}

// The first state (counting up from 1) whose coming draws satisfy `wants`, which receives a copy
// of the state and makes the same draws the code under test will make.
template <typename Wants>
std::uint32_t stateWhere(Wants wants) {
    for (std::uint32_t state = 1; state != 0; ++state) {
        if (wants(state)) return state;
    }
    return 0;
}

// How many random steps separate `before` from `after` (up to a limit), to check draw counts.
inline int stepsTaken(std::uint32_t before, std::uint32_t after, int limit = 64) {
    for (int n = 0; n <= limit; ++n) {
        if (before == after) return n;
        nextRandom(before);
    }
    return -1;
}

}  // namespace tarn::testing
