// Standard MIDI File export of the pattern: format 0, one track, 96 ticks a quarter note.
#pragma once

#include "engine/pattern.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

inline constexpr std::uint8_t kMidiNoteOn = 0x90;
inline constexpr std::uint8_t kMidiNoteOff = 0x80;

// The largest time a MIDI variable-length quantity can carry (four bytes).
inline constexpr std::uint32_t kMaxMidiTick = 0x0FFFFFFF;

struct MidiEvent {
    std::uint32_t tick = 0;
    std::uint8_t status = 0;  // kMidiNoteOn or kMidiNoteOff
    std::uint8_t note = 0;
    std::uint8_t velocity = 0;
};

// Note on and note off of every playable pattern note, timed exactly as patternToNotes times
// them, stably sorted by tick with note offs before note ons at the same tick.
std::vector<MidiEvent> patternMidiEvents(const Pattern& pattern);

// The whole file: header chunk, then the track of events with an end of track.
std::vector<std::uint8_t> midiFileBytes(const Pattern& pattern);

// Writes midiFileBytes to path; false when the file could not be fully written, in which case
// whatever was at path is left untouched.
bool writeMidiFile(const Pattern& pattern, const std::string& path);

}  // namespace tarn
