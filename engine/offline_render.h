// Rendering a note list offline through a fresh voice, for the waveform panel and WAV export.
#pragma once

#include "engine/audio_config.h"
#include "engine/notes.h"
#include "engine/patch.h"
#include "engine/stereo_audio.h"

#include <cstddef>
#include <cstdint>

namespace tarn {

// The longest offline render, in seconds of audio. Our own bound: gates are taken from
// session files as written, and one absurd gate must not ask for gigabytes of samples.
inline constexpr double kMaxRenderSeconds = 600.0;

// Frames of an offline render: the notes plus four beats of release tail, at most
// kMaxRenderSeconds; 0 when the rate or tempo is unusable.
std::int64_t renderLengthFrames(const NoteEvent* notes, std::size_t count, const AudioConfig& config);

// Plays the notes through a fresh voice at the config's rate and tempo, the transport running
// from beat 0, and returns both channels of renderLengthFrames samples. Note events are
// dispatched on their exact frames; between them the voice renders in blocks of at most
// config.blockFrames. Without notes the result is four beats of silence.
StereoAudio renderNotes(const Patch& patch, const float* curves, const NoteEvent* notes, std::size_t count,
                        const AudioConfig& config);

}  // namespace tarn
