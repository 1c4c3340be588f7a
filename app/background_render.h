// The phrase rendered for the waveform beside the frames, so a long line never stops the window.
#pragma once

#include "app/background_job.h"
#include "engine/audio_config.h"
#include "engine/notes.h"
#include "engine/offline_render.h"
#include "engine/patch.h"
#include "ui/waveform.h"

#include <atomic>
#include <optional>
#include <vector>

namespace tarn {

struct StereoPeaks {
    ui::WaveformPeaks left, right;
};

// Runs the render to its end, summarising both channels as it goes and keeping no samples. Checks
// `cancelled` between pieces (a few milliseconds apart at most) and gives up, returning nothing, once
// it is set.
std::optional<StereoPeaks> summariseRender(OfflineRender& render, double sampleRate,
                                           const std::atomic<bool>* cancelled = nullptr);

// A finished render and what it was made from, for telling later whether it is stale.
struct FinishedRender {
    StereoPeaks peaks;
    Patch patch;
    std::vector<NoteEvent> notes;
};

using BackgroundRender = BackgroundJob<FinishedRender>;

// The work of rendering the notes with the patch, renderLengthFrames long, for a BackgroundRender.
BackgroundRender::Work renderWork(const Patch& patch, std::vector<NoteEvent> notes, const AudioConfig& config);

}  // namespace tarn
