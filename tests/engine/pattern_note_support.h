// A pattern note from its timing fields, for the tests of note timing and of the files made from notes.
#pragma once

#include "engine/pattern.h"

namespace tarn::testing {

inline PatternNote note(int step, int degree, float gate, float accent = 0.0f, float nudge = 0.0f) {
    PatternNote n;
    n.step = step;
    n.degree = degree;
    n.gate = gate;
    n.accent = accent;
    n.nudge = nudge;
    return n;
}

} // namespace tarn::testing
