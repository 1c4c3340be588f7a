// The played line: pattern to timed notes, notes to sample-frame play events, and the loop length.
#pragma once

#include "engine/audio_config.h"
#include "engine/pattern.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarn {

inline constexpr int kTicksPerBeat = 96;
inline constexpr int kTicksPerStep = 24;  // a sixteenth step
inline constexpr int kTicksPerBar = 384;  // four beats of four steps

// One note of the played line, in beats from the phrase start.
struct NoteEvent {
    double start = 0.0;
    double length = 0.0;
    std::int32_t note = 0;  // MIDI note 0-127
    float velocity = 0.0f;  // 0..1
};

// One timed event of the player and the offline render.
struct PlayEvent {
    std::int64_t frame = 0;  // sample frame from the phrase start
    std::uint8_t on = 0;     // 1 = note on, 0 = note off
    std::int32_t note = 0;
    float velocity = 0.0f;   // the note-on velocity; its note off carries the same value
};

// A pattern note placed on the tick grid. Both the note list and the MIDI writer take their
// timing from here, so the exported file and what plays can never disagree.
struct TimedNote {
    std::int32_t note = 0;          // rootNote + degree, always 0-127
    std::int64_t startTick = 0;     // never negative
    std::int64_t lengthTicks = 1;   // at least 1
    float accent = 0.0f;
};

// How far a note starts from its step, in steps: swing delays the odd steps, and swing plus nudge
// stay within 0.45 of a step either way. The piano roll draws notes where this times them.
float noteStepShift(const PatternNote& note, float swing);

// Every playable note of the pattern, bar by bar in stored order: swing on the odd steps and
// nudge (together within 0.45 of a step), clamped at tick 0, and cut one tick short of the
// first later note of the same degree in its bar. Notes outside MIDI range are left out.
std::vector<TimedNote> timePatternNotes(const Pattern& pattern);

// The pattern as beats: timePatternNotes divided by 96, velocity (accent x 87 + 40) / 127.
std::vector<NoteEvent> patternToNotes(const Pattern& pattern);

// Frames per beat = rate x 60 / tempo in double; 0 when the rate or tempo is not a positive
// finite number, so that callers render and loop over nothing instead of forever.
double framesPerBeat(const AudioConfig& config);

// Two events per note in note order (its on, then its off); the caller sorts them.
std::vector<PlayEvent> notesToEvents(const NoteEvent* notes, std::size_t count, double offsetBeats,
                                     double framesPerBeat, float velocityScale);

// Event order: by frame, and at the same frame a note off before a note on, so that a repeated
// note retriggers after its own release.
bool playEventBefore(const PlayEvent& a, const PlayEvent& b);

// Stable sort in event order: events that tie otherwise keep their order.
void sortPlayEvents(std::vector<PlayEvent>& events);

// The latest note end, in beats (0 without notes, never negative).
double notesEndBeats(const NoteEvent* notes, std::size_t count);

// The loop length: the latest note end rounded up to whole four-beat bars, in frames.
std::int64_t phraseLengthSamples(const NoteEvent* notes, std::size_t count, const AudioConfig& config);

// trunc(value) as an integer, saturating at +-2^53 (NaN gives 0): frame and tick arithmetic
// on user-edited values must not overflow.
std::int64_t truncSaturating(double value);

}  // namespace tarn
