// Helpers for the live player tests: drive callbacks and render looped references on a bare voice.
#pragma once

#include "engine/live_player.h"
#include "engine/notes.h"
#include "engine/stereo_audio.h"
#include "engine/voice.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tarn::testing {

// Runs the player for `frames` frames in callbacks of `callbackFrames` and returns the
// interleaved output.
inline std::vector<float> runPlayer(LivePlayer& player, std::int64_t frames, int callbackFrames) {
    std::vector<float> out(static_cast<std::size_t>(frames) * 2);
    for (std::int64_t done = 0; done < frames;) {
        const int n = static_cast<int>(std::min<std::int64_t>(callbackFrames, frames - done));
        player.process(out.data() + 2 * done, n);
        done += n;
    }
    return out;
}

inline std::vector<PlayEvent> sortedEvents(const std::vector<NoteEvent>& notes, const AudioConfig& config) {
    std::vector<PlayEvent> events = notesToEvents(notes.data(), notes.size(), 0.0, framesPerBeat(config), 1.0f);
    sortPlayEvents(events);
    return events;
}

// What looping a phrase should sound like, built without the player: pass k's events play at
// k x loopFrames plus their frame, note offs at or past the loop end are delivered at the end
// of their pass, and a fresh voice renders the whole schedule in one go with the transport
// counting from beat 0, the way the offline render schedules a line.
inline StereoAudio renderLoopReference(const Patch& patch, const std::vector<PlayEvent>& events,
                                       std::int64_t loopFrames, int passes, const AudioConfig& config) {
    std::vector<PlayEvent> schedule;
    for (int pass = 0; pass < passes; ++pass) {
        const std::int64_t base = pass * loopFrames;
        for (const PlayEvent& e : events) {
            if (e.frame < loopFrames) {
                schedule.push_back({base + e.frame, e.on, e.note, e.velocity});
            } else if (!e.on) {
                schedule.push_back({base + loopFrames, e.on, e.note, e.velocity});
            }
        }
    }
    sortPlayEvents(schedule);

    const std::int64_t total = loopFrames * passes;
    const double fpb = framesPerBeat(config);
    StereoAudio out;
    out.left.assign(static_cast<std::size_t>(total), 0.0f);
    out.right.assign(static_cast<std::size_t>(total), 0.0f);
    Voice voice;
    voice.setSampleRate(config.sampleRate);
    VoiceTransport transport{0.0, config.tempo, 1};
    std::size_t cursor = 0;
    for (std::int64_t position = 0; position < total;) {
        while (cursor < schedule.size() && schedule[cursor].frame <= position) {
            const PlayEvent& e = schedule[cursor++];
            if (e.on) {
                voice.noteOn(e.note, e.velocity);
            } else {
                voice.noteOff(e.note);
            }
        }
        std::int64_t end = std::min<std::int64_t>(total, position + config.blockFrames);
        if (cursor < schedule.size()) {
            end = std::min(end, schedule[cursor].frame);
        }
        transport.beats = static_cast<double>(position) / fpb;
        const int n = static_cast<int>(end - position);
        voice.render(patch, patch.curves.data(), transport, out.left.data() + position,
                     out.right.data() + position, n);
        position = end;
    }
    return out;
}

// Largest difference (0 when bit for bit equal) between interleaved player output and a reference, over `frames` frames
// starting at reference frame `referenceStart` and output frame `outputStart`.
inline float maxDifference(const std::vector<float>& interleaved, std::int64_t outputStart, const StereoAudio& reference,
                           std::int64_t referenceStart, std::int64_t frames) {
    float worst = 0.0f;
    for (std::int64_t i = 0; i < frames; ++i) {
        const std::size_t o = static_cast<std::size_t>(outputStart + i) * 2;
        const std::size_t r = static_cast<std::size_t>(referenceStart + i);
        worst = std::max(worst, std::abs(interleaved[o] - reference.left[r]));
        worst = std::max(worst, std::abs(interleaved[o + 1] - reference.right[r]));
    }
    return worst;
}

}  // namespace tarn::testing
