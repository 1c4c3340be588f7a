// Pattern to MIDI events and the bytes of a one-track Standard MIDI File.
#include "engine/midi_file.h"

#include "engine/byte_append.h"
#include "engine/file_replace.h"
#include "engine/notes.h"

#include <algorithm>
#include <cmath>

namespace tarn {
namespace {

// A data byte must stay below 128 (128 or more would read as a status byte), and a note on of
// velocity 0 would read as a note off; accents 0..1 give 40..127 and are not changed by this.
std::uint8_t midiVelocity(float accent) {
    const float v = accent * 87.0f + 40.0f;
    if (!(v >= 1.0f)) return 1;  // also a NaN accent
    if (v >= 127.0f) return 127;
    return static_cast<std::uint8_t>(v);
}

std::uint32_t midiTick(std::int64_t tick) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(tick, 0, kMaxMidiTick));
}

}  // namespace

std::vector<MidiEvent> patternMidiEvents(const Pattern& pattern) {
    std::vector<MidiEvent> events;
    for (const TimedNote& t : timePatternNotes(pattern)) {
        const auto note = static_cast<std::uint8_t>(t.note);
        events.push_back(MidiEvent{midiTick(t.startTick), kMidiNoteOn, note, midiVelocity(t.accent)});
        events.push_back(MidiEvent{midiTick(t.startTick + t.lengthTicks), kMidiNoteOff, note, 0});
    }
    // By tick, and at the same tick a note off first, as the play events are ordered. Notes in
    // step order already come out this way; our own decision is to keep it so for notes stored
    // out of step order too, where appending order alone would put an on before the off of the
    // same pitch at one tick and leave a reader with a stuck or empty note.
    std::stable_sort(events.begin(), events.end(), [](const MidiEvent& a, const MidiEvent& b) {
        if (a.tick != b.tick) return a.tick < b.tick;
        return a.status == kMidiNoteOff && b.status == kMidiNoteOn;
    });
    return events;
}

std::vector<std::uint8_t> midiFileBytes(const Pattern& pattern) {
    std::vector<std::uint8_t> track;
    std::uint32_t previous = 0;
    for (const MidiEvent& e : patternMidiEvents(pattern)) {
        putVarLen(track, e.tick - previous);
        previous = e.tick;
        track.push_back(e.status);
        track.push_back(e.note);
        track.push_back(e.velocity);
    }
    const std::uint8_t endOfTrack[] = {0x00, 0xFF, 0x2F, 0x00};
    track.insert(track.end(), std::begin(endOfTrack), std::end(endOfTrack));

    std::vector<std::uint8_t> bytes;
    bytes.reserve(22 + track.size());
    putTag(bytes, "MThd");
    putBigEndian(bytes, 6, 4);   // header length
    putBigEndian(bytes, 0, 2);   // format 0
    putBigEndian(bytes, 1, 2);   // one track
    putBigEndian(bytes, kTicksPerBeat, 2);  // ticks per quarter note
    putTag(bytes, "MTrk");
    putBigEndian(bytes, static_cast<std::uint32_t>(track.size()), 4);
    bytes.insert(bytes.end(), track.begin(), track.end());
    return bytes;
}

bool writeMidiFile(const Pattern& pattern, const std::string& path) {
    return replaceFileContents(path, midiFileBytes(pattern));
}

}  // namespace tarn
