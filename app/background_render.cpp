// The waveform's render as work for a thread of its own: rendered a piece at a time and summarised.
#include "app/background_render.h"

#include <span>
#include <utility>

namespace tarn {
namespace {

// Frames per piece: 85 ms of audio at 48 kHz, a few milliseconds of rendering between checks.
constexpr std::int64_t kPieceFrames = 4096;

}  // namespace

std::optional<StereoPeaks> summariseRender(OfflineRender& render, double sampleRate,
                                           const std::atomic<bool>* cancelled) {
    const auto frames = static_cast<std::uint64_t>(render.totalFrames() - render.position());
    ui::WaveformPeaksBuilder left(frames, sampleRate);
    ui::WaveformPeaksBuilder right(frames, sampleRate);
    std::vector<float> l(kPieceFrames);
    std::vector<float> r(kPieceFrames);
    while (!render.finished()) {
        if (cancelled != nullptr && cancelled->load(std::memory_order_relaxed)) return std::nullopt;
        const auto count = static_cast<std::size_t>(render.next(l.data(), r.data(), kPieceFrames));
        left.add(std::span<const float>(l.data(), count));
        right.add(std::span<const float>(r.data(), count));
    }
    return StereoPeaks{left.finish(), right.finish()};
}

BackgroundRender::Work renderWork(const Patch& patch, std::vector<NoteEvent> notes, const AudioConfig& config) {
    return [patch, notes = std::move(notes),
            config](const std::atomic<bool>& cancelled) -> std::optional<FinishedRender> {
        OfflineRender render(patch, patch.curves.data(), notes.data(), notes.size(), config,
                             renderLengthFrames(notes.data(), notes.size(), config));
        std::optional<StereoPeaks> peaks = summariseRender(render, config.sampleRate, &cancelled);
        if (!peaks) return std::nullopt;
        return FinishedRender{std::move(*peaks), patch, notes};
    };
}

}  // namespace tarn
