// Fuzzes the note timing and both export encoders with arbitrary pattern values and samples.
#include "engine/midi_file.h"
#include "engine/notes.h"
#include "engine/wav_file.h"

#include <cstdlib>
#include <cstring>

namespace {

// Reads fixed-size values from the input, zeros once it runs out.
struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    template <typename T>
    T take() {
        T value{};
        if (size - at >= sizeof(T)) {
            std::memcpy(&value, data + at, sizeof(T));
            at += sizeof(T);
        } else {
            at = size;
        }
        return value;
    }
    bool done() const { return at >= size; }
};

void check(bool ok) {
    if (!ok) std::abort();
}

std::uint32_t readVarLen(const std::vector<std::uint8_t>& bytes, std::size_t& at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        check(at < bytes.size());
        const std::uint8_t b = bytes[at++];
        value = (value << 7) | (b & 0x7Fu);
        if ((b & 0x80u) == 0) return value;
    }
    std::abort();  // a time longer than four bytes is not a valid file
}

// Walks the track: only note on/off events with data bytes, then the end of track.
void checkMidi(const std::vector<std::uint8_t>& bytes, std::size_t noteCount) {
    check(bytes.size() >= 26);
    check(std::memcmp(bytes.data(), "MThd\0\0\0\x06\0\0\0\x01\0\x60MTrk", 18) == 0);
    const std::uint32_t length = (std::uint32_t{bytes[18]} << 24) | (std::uint32_t{bytes[19]} << 16) |
                                 (std::uint32_t{bytes[20]} << 8) | bytes[21];
    check(length == bytes.size() - 22);
    std::size_t at = 22;
    std::size_t ons = 0;
    std::size_t offs = 0;
    std::uint64_t tick = 0;
    while (true) {
        tick += readVarLen(bytes, at);
        check(at < bytes.size());
        const std::uint8_t status = bytes[at++];
        if (status == 0xFF) {
            check(at + 2 == bytes.size() && bytes[at] == 0x2F && bytes[at + 1] == 0x00);
            break;
        }
        check(status == tarn::kMidiNoteOn || status == tarn::kMidiNoteOff);
        check(at + 2 <= bytes.size());
        const std::uint8_t note = bytes[at++];
        const std::uint8_t velocity = bytes[at++];
        check(note < 0x80 && velocity < 0x80);
        if (status == tarn::kMidiNoteOn) {
            check(velocity >= 1);
            ++ons;
        } else {
            ++offs;
        }
    }
    check(tick <= tarn::kMaxMidiTick);
    check(ons == noteCount && offs == noteCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const auto bars = static_cast<int>(in.take<std::uint8_t>() % 8);
    tarn::Pattern pattern(bars, in.take<std::int32_t>(), 0);
    pattern.swing = in.take<float>();
    while (!in.done()) {
        tarn::PatternNote n;
        const std::uint8_t bar = in.take<std::uint8_t>();
        n.step = in.take<std::int32_t>();
        n.degree = in.take<std::int32_t>();
        n.gate = in.take<float>();
        n.accent = in.take<float>();
        n.nudge = in.take<float>();
        pattern.bars[bar % pattern.bars.size()].push_back(n);
    }

    const auto timed = tarn::timePatternNotes(pattern);
    for (const tarn::TimedNote& t : timed) {
        check(t.note >= 0 && t.note <= 127);
        check(t.startTick >= 0 && t.lengthTicks >= 1);
    }
    checkMidi(tarn::midiFileBytes(pattern), timed.size());

    const auto notes = tarn::patternToNotes(pattern);
    check(notes.size() == timed.size());
    const tarn::AudioConfig config{48000.0f, pattern.swing * 1000.0f, 64};
    auto events = tarn::notesToEvents(notes.data(), notes.size(), 0.0, tarn::framesPerBeat(config), 1.0f);
    tarn::sortPlayEvents(events);
    for (std::size_t i = 1; i < events.size(); ++i) check(!tarn::playEventBefore(events[i], events[i - 1]));
    check(tarn::phraseLengthSamples(notes.data(), notes.size(), config) >= 0);

    // The same bytes as samples: the size follows the shorter channel, every field is defined.
    tarn::StereoAudio audio;
    const std::size_t floats = size / sizeof(float);
    audio.left.resize(floats / 2);
    audio.right.resize(floats - floats / 2);
    if (!audio.left.empty()) std::memcpy(audio.left.data(), data, audio.left.size() * sizeof(float));
    if (!audio.right.empty())
        std::memcpy(audio.right.data(), data + audio.left.size() * sizeof(float), audio.right.size() * sizeof(float));
    const auto wav = tarn::wavFileBytes(audio, 48000.0f);
    check(wav.has_value() && wav->size() == 44 + 4 * (floats / 2));
    return 0;
}
