// The RIFF/WAVE bytes of a stereo phrase and their export, whole or streamed from a render.
#include "engine/wav_file.h"

#include "engine/byte_append.h"
#include "engine/file_replace.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace tarn {
namespace {

constexpr std::uint32_t kHeaderBytes = 44;
constexpr std::uint32_t kBytesPerFrame = 4;  // two channels of 16 bits
// Frames per piece of a streamed export: 16 KiB of file and 32 KiB of floats.
constexpr std::int64_t kPieceFrames = 4096;

}  // namespace

std::int16_t wavSample(float sample) {
    // fmax/fmin return the number when the other argument is a NaN, so a NaN lands on -1.
    const float clamped = std::fmin(std::fmax(sample, -1.0f), 1.0f);
    return static_cast<std::int16_t>(clamped * 32767.0f);
}

std::optional<std::vector<std::uint8_t>> wavHeaderBytes(std::uint64_t frames, float sampleRate) {
    if (!(sampleRate >= 1.0f) || !(sampleRate < 1073741824.0f)) return std::nullopt;
    if (frames > kMaxWavFrames) return std::nullopt;
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    const auto dataSize = static_cast<std::uint32_t>(frames * kBytesPerFrame);

    std::vector<std::uint8_t> bytes;
    bytes.reserve(kHeaderBytes);
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
    return bytes;
}

void appendWavFrames(std::vector<std::uint8_t>& bytes, const float* left, const float* right, std::size_t frames) {
    for (std::size_t i = 0; i < frames; ++i) {
        putLittleEndian(bytes, static_cast<std::uint16_t>(wavSample(left[i])), 2);
        putLittleEndian(bytes, static_cast<std::uint16_t>(wavSample(right[i])), 2);
    }
}

std::optional<std::vector<std::uint8_t>> wavFileBytes(const StereoAudio& audio, float sampleRate) {
    const std::size_t frames = std::min(audio.left.size(), audio.right.size());
    std::optional<std::vector<std::uint8_t>> bytes = wavHeaderBytes(frames, sampleRate);
    if (!bytes) return std::nullopt;
    bytes->reserve(kHeaderBytes + frames * kBytesPerFrame);
    appendWavFrames(*bytes, audio.left.data(), audio.right.data(), frames);
    return bytes;
}

bool writeWavFile(const std::string& path, const StereoAudio& audio, float sampleRate) {
    const auto bytes = wavFileBytes(audio, sampleRate);
    return bytes.has_value() && replaceFileContents(path, *bytes);
}

WavExportResult writeWavFile(const std::string& path, OfflineRender& render, float sampleRate,
                             const RenderedPiece& onPiece) {
    const auto frames = static_cast<std::uint64_t>(render.totalFrames() - render.position());
    if (frames > kMaxWavFrames) return {WavExport::tooLong, {}};
    std::optional<std::vector<std::uint8_t>> header = wavHeaderBytes(frames, sampleRate);
    if (!header) return {WavExport::failed, {}};

    std::vector<float> left(kPieceFrames);
    std::vector<float> right(kPieceFrames);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kPieceFrames * kBytesPerFrame);
    bool stopped = false;
    const std::error_code error = replaceFileContentsWith(path, [&](int fd) {
        if (const int failure = writeWhole(fd, *header)) return failure;
        while (!render.finished()) {
            const auto count = static_cast<std::size_t>(render.next(left.data(), right.data(), kPieceFrames));
            bytes.clear();
            appendWavFrames(bytes, left.data(), right.data(), count);
            if (const int failure = writeWhole(fd, bytes)) return failure;
            if (onPiece && !onPiece(left.data(), right.data(), count)) {
                stopped = true;
                return ECANCELED;  // the durable replace then drops the temporary file
            }
        }
        return 0;
    });
    if (stopped) return {WavExport::stopped, {}};
    return {error ? WavExport::failed : WavExport::written, error};
}

}  // namespace tarn
