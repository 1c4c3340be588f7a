// The RIFF/WAVE bytes of a stereo phrase and their export.
#include "engine/wav_file.h"

#include "engine/byte_append.h"
#include "engine/file_replace.h"

#include <algorithm>
#include <cmath>

namespace tarn {
namespace {

constexpr std::uint32_t kHeaderBytes = 44;
constexpr std::uint32_t kBytesPerFrame = 4;  // two channels of 16 bits

}  // namespace

std::int16_t wavSample(float sample) {
    // fmax/fmin return the number when the other argument is a NaN, so a NaN lands on -1.
    const float clamped = std::fmin(std::fmax(sample, -1.0f), 1.0f);
    return static_cast<std::int16_t>(clamped * 32767.0f);
}

std::optional<std::vector<std::uint8_t>> wavFileBytes(const StereoAudio& audio, float sampleRate) {
    if (!(sampleRate >= 1.0f) || !(sampleRate < 1073741824.0f)) return std::nullopt;
    const auto rate = static_cast<std::uint32_t>(sampleRate);

    const std::size_t frames = std::min(audio.left.size(), audio.right.size());
    constexpr std::size_t kMaxFrames = (0xFFFFFFFFu - (kHeaderBytes - 8)) / kBytesPerFrame;
    if (frames > kMaxFrames) return std::nullopt;
    const auto dataSize = static_cast<std::uint32_t>(frames * kBytesPerFrame);

    std::vector<std::uint8_t> bytes;
    bytes.reserve(kHeaderBytes + dataSize);
    putTag(bytes, "RIFF");
    putLittleEndian(bytes, kHeaderBytes - 8 + dataSize, 4);
    putTag(bytes, "WAVE");
    putTag(bytes, "fmt ");
    putLittleEndian(bytes, 16, 4);  // fmt chunk size
    putLittleEndian(bytes, 1, 2);   // PCM
    putLittleEndian(bytes, 2, 2);   // channels
    putLittleEndian(bytes, rate, 4);
    putLittleEndian(bytes, rate * kBytesPerFrame, 4);  // byte rate
    putLittleEndian(bytes, kBytesPerFrame, 2);         // block align
    putLittleEndian(bytes, 16, 2);                     // bits per sample
    putTag(bytes, "data");
    putLittleEndian(bytes, dataSize, 4);
    for (std::size_t i = 0; i < frames; ++i) {
        putLittleEndian(bytes, static_cast<std::uint16_t>(wavSample(audio.left[i])), 2);
        putLittleEndian(bytes, static_cast<std::uint16_t>(wavSample(audio.right[i])), 2);
    }
    return bytes;
}

bool writeWavFile(const std::string& path, const StereoAudio& audio, float sampleRate) {
    const auto bytes = wavFileBytes(audio, sampleRate);
    return bytes.has_value() && replaceFileContents(path, *bytes);
}

}  // namespace tarn
