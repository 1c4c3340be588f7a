// Rendering a note list offline through a fresh voice, for the waveform panel and WAV export.
#pragma once

#include "engine/audio_config.h"
#include "engine/notes.h"
#include "engine/patch.h"
#include "engine/stereo_audio.h"
#include "engine/voice.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarn {

// The longest render kept in memory (the waveform's), in seconds of audio. Our own bound: gates
// are taken from session files as written, and one absurd gate must not ask for gigabytes of
// samples. Exports stream their render and are bounded only by the file format.
inline constexpr double kMaxRenderSeconds = 600.0;

// Frames of the whole render: the notes plus four beats of release tail; 0 when the rate or
// tempo is unusable.
std::int64_t phraseRenderFrames(const NoteEvent* notes, std::size_t count, const AudioConfig& config);

// phraseRenderFrames, at most kMaxRenderSeconds: the length of a render held in memory.
std::int64_t renderLengthFrames(const NoteEvent* notes, std::size_t count, const AudioConfig& config);

// A render in progress, taken a piece at a time so that the caller can pass each piece on (to a
// file, to a peak summary) and keep none of it. Note events are dispatched on their exact frames;
// between them the voice renders in blocks of at most config.blockFrames. The pieces join into
// exactly the samples of one uninterrupted render, however the caller sizes them.
class OfflineRender {
public:
    // Copies what it needs: the render may run on another thread than the one that made it.
    OfflineRender(const Patch& patch, const float* curves, const NoteEvent* notes, std::size_t count,
                  const AudioConfig& config, std::int64_t totalFrames);

    std::int64_t totalFrames() const { return total_; }
    std::int64_t position() const { return position_; }
    bool finished() const { return position_ >= total_; }

    // Overwrites up to `capacity` frames of left and right with the next samples and returns how
    // many (0 only when finished or for no capacity). Whole voice blocks only, so fewer may come
    // back; a capacity below config.blockFrames splits a block, and the samples may then differ
    // in the last bits from those of one uninterrupted render.
    std::int64_t next(float* left, float* right, std::int64_t capacity);

private:
    Patch patch_;
    std::vector<PlayEvent> events_;
    std::size_t cursor_ = 0;
    std::int64_t position_ = 0;
    std::int64_t total_ = 0;
    std::int64_t block_ = 1;
    double framesPerBeat_ = 0.0;
    std::unique_ptr<Voice> voice_;  // large: kept off the caller's stack
    VoiceTransport transport_;
};

// Plays the notes through a fresh voice at the config's rate and tempo, the transport running
// from beat 0, and returns both channels of renderLengthFrames samples. Without notes the result
// is four beats of silence.
StereoAudio renderNotes(const Patch& patch, const float* curves, const NoteEvent* notes, std::size_t count,
                        const AudioConfig& config);

}  // namespace tarn
