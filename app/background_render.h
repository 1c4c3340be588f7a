// The phrase rendered for the waveform on a thread of its own, so a long line never stops the window.
#pragma once

#include "engine/audio_config.h"
#include "engine/notes.h"
#include "engine/offline_render.h"
#include "engine/patch.h"
#include "ui/waveform.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace tarn {

struct StereoPeaks {
    ui::WaveformPeaks left, right;
};

// Runs the render to its end, summarising both channels as it goes and keeping no samples. Checks
// `cancel` between pieces (a few milliseconds apart at most) and gives up, returning nothing, once
// it is set.
std::optional<StereoPeaks> summariseRender(OfflineRender& render, double sampleRate,
                                           const std::atomic<bool>* cancel = nullptr);

// A finished render and what it was made from, for telling later whether it is stale.
struct FinishedRender {
    StereoPeaks peaks;
    Patch patch;
    std::vector<NoteEvent> notes;
};

// One render at a time on a worker thread owned by the UI thread. The worker shares nothing with
// the UI thread but its own job (copies of the patch and notes) and two flags, and nothing at all
// with the audio thread; the UI thread polls and never waits on it. A render that is superseded
// or cancelled stops within a piece and is joined once it has.
class BackgroundRender {
public:
    BackgroundRender();
    ~BackgroundRender();
    BackgroundRender(const BackgroundRender&) = delete;
    BackgroundRender& operator=(const BackgroundRender&) = delete;

    // Starts rendering the notes with the patch as renderLengthFrames long; a render still
    // running is abandoned.
    void start(const Patch& patch, std::vector<NoteEvent> notes, const AudioConfig& config);
    void cancel();
    // A render was started and has not been taken or cancelled.
    bool running() const { return current_ != nullptr; }
    // The started render once it has finished, handed over once; nothing while it runs.
    std::optional<FinishedRender> take();

private:
    struct Job;
    void reap(bool wait);
    std::unique_ptr<Job> current_;
    std::vector<std::unique_ptr<Job>> abandoned_;
};

}  // namespace tarn
