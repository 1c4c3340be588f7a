// The WAV export as work for a thread of its own: rendered a piece at a time into the file.
#include "app/background_export.h"

#include "engine/offline_render.h"
#include "ui/waveform.h"

#include <algorithm>
#include <span>
#include <utility>

namespace tarn {

BackgroundExport::Work exportWork(std::string path, const Patch& patch, std::vector<NoteEvent> notes,
                                  const AudioConfig& config, std::shared_ptr<std::atomic<std::uint64_t>> written) {
    return [path = std::move(path), patch, notes = std::move(notes), config,
            written = std::move(written)](const std::atomic<bool>& cancelled) -> std::optional<FinishedExport> {
        OfflineRender render(patch, patch.curves.data(), notes.data(), notes.size(), config,
                             phraseRenderFrames(notes.data(), notes.size(), config));
        // The waveform shows as much of the export as a render made for it would hold.
        const auto shown = static_cast<std::uint64_t>(renderLengthFrames(notes.data(), notes.size(), config));
        ui::WaveformPeaksBuilder left(shown, config.sampleRate);
        ui::WaveformPeaksBuilder right(shown, config.sampleRate);
        std::uint64_t summarised = 0;
        FinishedExport finished;
        finished.result =
            writeWavFile(path, render, config.sampleRate, [&](const float* l, const float* r, std::size_t frames) {
                const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(frames, shown - summarised));
                left.add(std::span<const float>(l, count));
                right.add(std::span<const float>(r, count));
                summarised += count;
                written->fetch_add(frames, std::memory_order_relaxed);
                return !cancelled.load(std::memory_order_relaxed);
            });
        if (finished.result.outcome == WavExport::stopped) return std::nullopt;
        if (summarised == shown) finished.shown = FinishedRender{{left.finish(), right.finish()}, patch, notes};
        return finished;
    };
}

std::string exportProgressText(const std::string& name, std::uint64_t written, std::uint64_t total) {
    const std::uint64_t percent = total == 0 ? 0 : std::min<std::uint64_t>(written * 100 / total, 99);
    return "Exporting " + name + ": " + std::to_string(percent) + " %";
}

}  // namespace tarn
