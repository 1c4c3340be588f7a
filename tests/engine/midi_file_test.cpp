// MIDI export: byte helpers, exact file bytes, event timing and a read-back by python3-mido.
#include "engine/byte_append.h"
#include "engine/midi_file.h"
#include "engine/notes.h"

#include "tests/engine/export_test_support.h"
#include "tests/engine/pattern_note_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace tarn {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::note;

Bytes varLen(std::uint32_t value) {
    Bytes out;
    putVarLen(out, value);
    return out;
}

const Bytes kHeader = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};

TEST(MidiBytes, VariableLengthQuantities) {
    EXPECT_EQ(varLen(0), (Bytes{0x00}));
    EXPECT_EQ(varLen(127), (Bytes{0x7F}));
    EXPECT_EQ(varLen(128), (Bytes{0x81, 0x00}));
    EXPECT_EQ(varLen(0x3FFF), (Bytes{0xFF, 0x7F}));
    EXPECT_EQ(varLen(0x4000), (Bytes{0x81, 0x80, 0x00}));
    EXPECT_EQ(varLen(0x0FFFFFFF), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(varLen(0xFFFFFFFF), (Bytes{0x8F, 0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(MidiBytes, FixedWidthFieldsAndTags) {
    Bytes out;
    putBigEndian(out, 0x12345678, 0);
    putBigEndian(out, 0x12345678, -2);
    EXPECT_TRUE(out.empty());
    putBigEndian(out, 0x12345678, 2);
    EXPECT_EQ(out, (Bytes{0x56, 0x78}));
    out.clear();
    putBigEndian(out, 0x12345678, 6);
    EXPECT_EQ(out, (Bytes{0, 0, 0x12, 0x34, 0x56, 0x78}));
    out.clear();
    putLittleEndian(out, 0x12345678, 4);
    putLittleEndian(out, 0xABCD, 1);
    EXPECT_EQ(out, (Bytes{0x78, 0x56, 0x34, 0x12, 0xCD}));
    out.clear();
    putTag(out, "RIFF");
    EXPECT_EQ(out, (Bytes{'R', 'I', 'F', 'F'}));
}

TEST(MidiFileBytes, EmptyPatternIsOnlyTheEndOfTrack) {
    Bytes expected = kHeader;
    expected.insert(expected.end(), {0, 0, 0, 4, 0x00, 0xFF, 0x2F, 0x00});
    EXPECT_EQ(midiFileBytes(Pattern(4, 36, 0)), expected);
}

TEST(MidiFileBytes, RepeatedPitchFixture) {
    // Steps 0 and 2, same degree, gate 3: the first ends one tick before the second starts.
    Pattern pattern(1, 36, 0);
    pattern.bars[0] = {note(0, 0, 3.0f, 1.0f), note(2, 0, 3.0f, 0.0f)};
    Bytes expected = kHeader;
    expected.insert(expected.end(), {0, 0, 0, 20,
                                     0x00, 0x90, 36, 127,  // tick 0: on, accent 1
                                     0x2F, 0x80, 36, 0,    // tick 47: off
                                     0x01, 0x90, 36, 40,   // tick 48: on, accent 0
                                     0x48, 0x80, 36, 0,    // tick 120: off
                                     0x00, 0xFF, 0x2F, 0x00});
    EXPECT_EQ(midiFileBytes(pattern), expected);
}

TEST(MidiEvents, GateZeroLastsOneTickAndOffsPrecedeOnsAtATick) {
    Pattern pattern(2, 36, 0);
    pattern.bars[1] = {note(0, 0, 0.0f), note(0, 5, 1.0f), note(1, 3, 1.0f)};
    const auto events = patternMidiEvents(pattern);
    ASSERT_EQ(events.size(), 6u);
    const std::uint32_t ticks[] = {384, 384, 385, 408, 408, 432};
    const std::uint8_t status[] = {0x90, 0x90, 0x80, 0x80, 0x90, 0x80};
    const std::uint8_t notes[] = {36, 41, 36, 41, 39, 39};
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].tick, ticks[i]) << i;
        EXPECT_EQ(events[i].status, status[i]) << i;
        EXPECT_EQ(events[i].note, notes[i]) << i;
    }

    // Stored out of step order, a note's on must still not land before the off of the same
    // pitch at the same tick.
    pattern.bars[1] = {note(1, 0, 1.0f), note(0, 0, 1.0f)};
    const auto unordered = patternMidiEvents(pattern);
    ASSERT_EQ(unordered.size(), 4u);
    EXPECT_EQ(unordered[1].tick, 408u);
    EXPECT_EQ(unordered[1].status, kMidiNoteOff);
    EXPECT_EQ(unordered[2].tick, 408u);
    EXPECT_EQ(unordered[2].status, kMidiNoteOn);
}

TEST(MidiEvents, VelocityStaysAValidNoteOnDataByte) {
    Pattern pattern(1, 36, 0);
    pattern.bars[0] = {note(0, 0, 1.0f, 1.0f), note(1, 1, 1.0f, 0.0f), note(2, 2, 1.0f, 0.5f),
                       note(3, 3, 1.0f, 2.0f), note(4, 4, 1.0f, -1.0f), note(5, 5, 1.0f, std::nanf(""))};
    std::vector<int> velocities;
    for (const MidiEvent& e : patternMidiEvents(pattern)) {
        if (e.status == kMidiNoteOn) velocities.push_back(e.velocity);
        else EXPECT_EQ(e.velocity, 0);
    }
    EXPECT_EQ(velocities, (std::vector<int>{127, 40, 83, 127, 1, 1}));
}

TEST(MidiEvents, OutOfRangeNotesAndHugeTimesStayWritable) {
    Pattern pattern(1, 120, 0);
    pattern.bars[0] = {note(0, 10, 1.0f), note(1, -200, 1.0f), note(2, 0, 1e30f)};
    const auto events = patternMidiEvents(pattern);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].note, 120);
    EXPECT_EQ(events[1].tick, kMaxMidiTick);  // the longest time a file can hold
}

// A pattern with swing, nudges, repeated degrees and accents across four bars.
Pattern busyPattern() {
    Pattern pattern(4, 33, 0);
    pattern.swing = 0.3f;
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (auto& bar : pattern.bars) {
        for (int step = 0; step < 16; ++step) {
            if (next() % 3 == 0) continue;
            const int degrees[] = {0, 3, 5, 7, 10, 12};
            bar.push_back(note(step, degrees[next() % 6], static_cast<float>(next() % 40) / 10.0f,
                               static_cast<float>(next() % 101) / 100.0f,
                               static_cast<float>(static_cast<int>(next() % 61) - 30) / 100.0f));
        }
    }
    return pattern;
}

TEST(MidiFileExport, ReadBackByMidoMatchesTheNoteList) {
    tarn::testing::ScratchFolder folder;
    const Pattern pattern = busyPattern();
    const std::string path = folder.file("line.mid");
    ASSERT_TRUE(writeMidiFile(pattern, path));
    EXPECT_EQ(tarn::testing::readBytes(path), midiFileBytes(pattern));

    const auto read = tarn::testing::runPythonReader("read_midi.py", path);
    ASSERT_EQ(read.status, 0) << read.output;
    std::istringstream lines(read.output);
    std::string word;
    int type = -1, tracks = -1, ticks = -1;
    lines >> word >> type >> word >> tracks >> word >> ticks;
    EXPECT_EQ(type, 0);
    EXPECT_EQ(tracks, 1);
    EXPECT_EQ(ticks, 96);

    // Pair every note on with the next note off of its pitch, as a sequencer would.
    struct Played {
        long start, end;
        int note, velocity;
    };
    std::vector<Played> played;
    std::string kind;
    long tick = 0;
    int pitch = 0, velocity = 0;
    bool endOfTrack = false;
    while (lines >> kind >> tick) {
        if (kind == "end_of_track") {
            endOfTrack = true;
            continue;
        }
        ASSERT_TRUE(lines >> pitch >> velocity) << kind;
        if (kind == "note_on" && velocity > 0) {
            played.push_back({tick, -1, pitch, velocity});
            continue;
        }
        ASSERT_EQ(kind, "note_off");
        bool matched = false;
        for (Played& p : played) {
            if (p.note == pitch && p.end < 0) {
                p.end = tick;
                matched = true;
                break;
            }
        }
        EXPECT_TRUE(matched) << "note off without a note on at tick " << tick;
    }
    EXPECT_TRUE(endOfTrack);

    const auto notes = patternToNotes(pattern);
    ASSERT_GT(notes.size(), 20u);
    ASSERT_EQ(played.size(), notes.size());
    std::stable_sort(played.begin(), played.end(),
                     [](const Played& a, const Played& b) { return a.start < b.start; });
    auto expected = notes;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const NoteEvent& a, const NoteEvent& b) { return a.start < b.start; });
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(played[i].start, std::lround(expected[i].start * 96.0)) << i;
        EXPECT_EQ(played[i].end - played[i].start, std::lround(expected[i].length * 96.0)) << i;
        EXPECT_EQ(played[i].note, expected[i].note) << i;
        EXPECT_EQ(played[i].velocity, static_cast<int>(expected[i].velocity * 127.0f + 0.001f)) << i;
    }
}

}  // namespace
}  // namespace tarn
