// The offline render's schedule: events at their frames, the voice in blocks between them.
#include "engine/offline_render.h"

#include "engine/voice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarn {
namespace {

constexpr double kTailBeats = 4.0;  // room for the last note's release

}  // namespace

std::int64_t renderLengthFrames(const NoteEvent* notes, std::size_t count, const AudioConfig& config) {
    const double fpb = framesPerBeat(config);
    if (fpb <= 0.0) return 0;
    const double frames = (notesEndBeats(notes, count) + kTailBeats) * fpb;
    const double limit = std::min(std::floor(kMaxRenderSeconds * static_cast<double>(config.sampleRate)),
                                  static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    return truncSaturating(std::min(frames, limit));
}

StereoAudio renderNotes(const Patch& patch, const float* curves, const NoteEvent* notes, std::size_t count,
                        const AudioConfig& config) {
    const double fpb = framesPerBeat(config);
    const std::int64_t total = renderLengthFrames(notes, count, config);
    StereoAudio out;
    if (total <= 0) return out;

    std::vector<PlayEvent> events = notesToEvents(notes, count, 0.0, fpb, 1.0f);
    sortPlayEvents(events);
    out.left.assign(static_cast<std::size_t>(total), 0.0f);
    out.right.assign(static_cast<std::size_t>(total), 0.0f);

    Voice voice;
    voice.setSampleRate(config.sampleRate);
    VoiceTransport transport;
    transport.tempo = config.tempo;
    transport.running = 1;
    // A block size below one frame would never move forward.
    const std::int64_t block = std::max<std::int32_t>(config.blockFrames, 1);

    std::size_t cursor = 0;
    std::int64_t position = 0;
    while (position < total) {
        for (; cursor < events.size() && events[cursor].frame <= position; ++cursor) {
            const PlayEvent& e = events[cursor];
            if (e.on != 0) voice.noteOn(e.note, e.velocity);
            else voice.noteOff(e.note);
        }
        std::int64_t chunk = std::min(total - position, block);
        if (cursor < events.size()) chunk = std::min(chunk, events[cursor].frame - position);
        transport.beats = static_cast<double>(position) / fpb;
        const auto at = static_cast<std::size_t>(position);
        voice.render(patch, curves, transport, out.left.data() + at, out.right.data() + at,
                     static_cast<int>(chunk));
        position += chunk;
    }
    return out;
}

}  // namespace tarn
