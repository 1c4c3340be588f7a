// WAV export of a rendered phrase: 16-bit stereo PCM.
#pragma once

#include "engine/offline_render.h"
#include "engine/stereo_audio.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace tarn {

// A sample in -1..1 as signed 16-bit: trunc(s x 32767), out-of-range samples clamped, so -1
// writes -32767. A NaN writes -32767 as well.
std::int16_t wavSample(float sample);

// The most frames a WAV file can hold: its RIFF size field counts the 36 header bytes after it and
// every sample in 32 bits, so a file stops short of 4 GiB.
inline constexpr std::uint64_t kMaxWavFrames = (0xFFFFFFFFu - 36u) / 4u;

// The 44-byte header of a file of `frames` frames; empty when the rate cannot be written (as for
// wavFileBytes) or the frames are more than kMaxWavFrames.
std::optional<std::vector<std::uint8_t>> wavHeaderBytes(std::uint64_t frames, float sampleRate);

// Appends `frames` frames: left then right per frame, each as wavSample, little-endian.
void appendWavFrames(std::vector<std::uint8_t>& bytes, const float* left, const float* right, std::size_t frames);

// The whole file: 44-byte header, then left and right per frame. Frames = the shorter
// channel's length. Empty when the file cannot be described: a rate that is not a whole
// number of at least 1 Hz after truncation whose byte rate fits 32 bits, or more frames than
// a 32-bit RIFF size can count.
std::optional<std::vector<std::uint8_t>> wavFileBytes(const StereoAudio& audio, float sampleRate);

// Writes wavFileBytes to path; false when there is nothing valid to write or the file could not
// be fully written, in which case whatever was at path is left untouched.
bool writeWavFile(const std::string& path, const StereoAudio& audio, float sampleRate);

enum class WavExport {
    written,
    tooLong,  // more frames than kMaxWavFrames: nothing was written
    failed,   // the rate cannot be written or the file could not be: whatever was at path is untouched
    stopped,  // the receiver of the pieces asked to stop: whatever was at path is untouched
};

struct WavExportResult {
    WavExport outcome = WavExport::failed;
    std::error_code error;  // why the file could not be written, where the system said
};

// Receives each rendered piece once it is in the file (left, right, frames) and answers whether to
// go on.
using RenderedPiece = std::function<bool(const float*, const float*, std::size_t)>;

// Runs the render to its end straight into a WAV file at path, a piece at a time, so a render of
// any length is written in the same small memory. Each piece is also handed to onPiece when given.
// The file replaces path only once it is whole.
WavExportResult writeWavFile(const std::string& path, OfflineRender& render, float sampleRate,
                             const RenderedPiece& onPiece = {});

}  // namespace tarn
