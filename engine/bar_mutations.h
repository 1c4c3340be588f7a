// Seeded random changes to a bar and the bar variation that keeps only changes the genre accepts.
#pragma once

#include <cstdint>

#include "engine/bar_notes.h"

namespace tarn {

// Mutation kinds, in the order of GenreRules::mutationWeights.
enum MutationKind : int {
    kMutateNudge = 0,      // a note steps to a free step one or two away
    kMutateDrop = 1,       // an unanchored note goes
    kMutateAdd = 2,        // a new note next to an existing one
    kMutateOctave = 3,     // an unanchored root flips octave
    kMutateDegree = 4,     // an unanchored note takes a new pitch
    kMutateGate = 5,       // a note takes a new gate that fits its room
    kMutateDropRun = 6,    // two or three neighbouring notes go
    kMutateRotate = 7,     // every unanchored note shifts by one or two steps
};

// Applies one mutation of the given kind; a kind outside 0-7 does nothing.
void applyMutation(BarNotes& notes, const GenreRules& rules, const KickContext& ctx,
                   std::uint32_t& rng, int kind);

// Up to 32 attempts of `count` weighted mutations plus slide repair; the first attempt that
// passes acceptBar comes back, otherwise the notes unchanged.
BarNotes varyPattern(const BarNotes& notes, const GenreRules& rules, const KickContext& ctx,
                     std::uint32_t& rng, int count);

}  // namespace tarn
