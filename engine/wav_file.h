// WAV export of a rendered phrase: 16-bit stereo PCM.
#pragma once

#include "engine/stereo_audio.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarn {

// A sample in -1..1 as signed 16-bit: trunc(s x 32767), out-of-range samples clamped, so -1
// writes -32767. A NaN writes -32767 as well.
std::int16_t wavSample(float sample);

// The whole file: 44-byte header, then left and right per frame. Frames = the shorter
// channel's length. Empty when the file cannot be described: a rate that is not a whole
// number of at least 1 Hz after truncation whose byte rate fits 32 bits, or more frames than
// a 32-bit RIFF size can count.
std::optional<std::vector<std::uint8_t>> wavFileBytes(const StereoAudio& audio, float sampleRate);

// Writes wavFileBytes to path; false when there is nothing valid to write or the file could not
// be fully written, in which case whatever was at path is left untouched.
bool writeWavFile(const std::string& path, const StereoAudio& audio, float sampleRate);

}  // namespace tarn
