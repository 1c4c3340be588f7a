// Building blocks that shape one bar's note list: scale fitting, room and rests, gates, kick
// placement, slide repair and the genre's acceptance rules.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/generator_tables.h"
#include "engine/kick_relation.h"
#include "engine/pattern.h"

namespace tarn {

// One bar's notes, kept sorted by step.
using BarNotes = std::vector<PatternNote>;

// Fits a degree to the scale (index clamped to the table). Mode 0 maps a seven-tone scale
// through a fixed table; mode 1 takes the nearest tone at or below; otherwise the nearest tone,
// ties going to the lower.
int snapToScale(int degree, int scale, int mode);

// True when the degree is one of the scale's tones.
bool isScaleTone(int degree, int scale);

// A new pitch from the genre's degree candidates (one random step, none when there is nothing
// to choose from, which gives degree 0).
int pickDegree(const GenreRules& rules, const KickContext& ctx, std::uint32_t& rng);

// Steps from note i to the next note, or for the last note to the first note of the next bar.
// 0 for an index outside the list.
float roomAfter(const BarNotes& notes, int i);

// The bar's longest silence in steps; 16 for an empty bar.
float longestRest(const BarNotes& notes);

bool hasNoteAt(const BarNotes& notes, int step);

// Stable: notes on the same step keep their order.
void sortByStep(BarNotes& notes);

// Shortens note i's gate to the longest genre gate that fits its room, unless the next note
// slides from it.
void clampGate(BarNotes& notes, const GenreRules& rules, int i);

// Moves the note on step `from` to the free step `to`, re-sorts and clamps the gates of the
// moved note and the one before it.
void moveNote(BarNotes& notes, const GenreRules& rules, int from, int to);

// Every note whose gate is one of the genre's gates steps delta entries along the gate list,
// where the new gate still fits before the next note (or the next note slides).
BarNotes shiftGates(BarNotes notes, const GenreRules& rules, int delta);

// Moves unanchored notes off steps the kick pushes away and onto steps it pulls towards.
BarNotes placeAroundKicks(BarNotes notes, const GenreRules& rules, const KickContext& ctx);

// Index of a randomly chosen unanchored note, or -1 (and no random step) when there is none.
int pickUnanchored(const BarNotes& notes, std::uint32_t& rng);

// Makes every slide playable: the note before a slide is lengthened to overlap it by 11/24 of a
// step, or the slide flag is cleared when that cannot be done within the rules.
void fixSlides(BarNotes& notes, const GenreRules& rules, const KickContext& ctx);

// The genre's rules for a finished bar: note count, runs, rests, steps, degree leaps, anchors.
bool acceptBar(const BarNotes& notes, const GenreRules& rules, const KickContext& ctx);

}  // namespace tarn
