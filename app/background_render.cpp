// The waveform's render on a worker thread: started, superseded, polled and joined from the UI thread.
#include "app/background_render.h"

#include <algorithm>
#include <span>
#include <thread>
#include <utility>

namespace tarn {
namespace {

// Frames per piece: 85 ms of audio at 48 kHz, a few milliseconds of rendering between checks.
constexpr std::int64_t kPieceFrames = 4096;

}  // namespace

struct BackgroundRender::Job {
    FinishedRender render;  // the inputs; the peaks once done
    AudioConfig config;
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};  // release: everything in render is written
    bool ok = false;
    std::thread thread;

    void run() {
        OfflineRender offline(render.patch, render.patch.curves.data(), render.notes.data(), render.notes.size(),
                              config, renderLengthFrames(render.notes.data(), render.notes.size(), config));
        if (std::optional<StereoPeaks> peaks = summariseRender(offline, config.sampleRate, &cancel)) {
            render.peaks = std::move(*peaks);
            ok = true;
        }
        done.store(true, std::memory_order_release);
    }
};

std::optional<StereoPeaks> summariseRender(OfflineRender& render, double sampleRate, const std::atomic<bool>* cancel) {
    const auto frames = static_cast<std::uint64_t>(render.totalFrames() - render.position());
    ui::WaveformPeaksBuilder left(frames, sampleRate);
    ui::WaveformPeaksBuilder right(frames, sampleRate);
    std::vector<float> l(kPieceFrames);
    std::vector<float> r(kPieceFrames);
    while (!render.finished()) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return std::nullopt;
        const auto count = static_cast<std::size_t>(render.next(l.data(), r.data(), kPieceFrames));
        left.add(std::span<const float>(l.data(), count));
        right.add(std::span<const float>(r.data(), count));
    }
    return StereoPeaks{left.finish(), right.finish()};
}

BackgroundRender::BackgroundRender() = default;

BackgroundRender::~BackgroundRender() {
    cancel();
    reap(true);
}

void BackgroundRender::start(const Patch& patch, std::vector<NoteEvent> notes, const AudioConfig& config) {
    cancel();
    reap(false);
    current_ = std::make_unique<Job>();
    current_->render.patch = patch;
    current_->render.notes = std::move(notes);
    current_->config = config;
    Job* job = current_.get();
    current_->thread = std::thread([job] { job->run(); });
}

void BackgroundRender::cancel() {
    if (!current_) return;
    current_->cancel.store(true, std::memory_order_relaxed);
    abandoned_.push_back(std::move(current_));
}

std::optional<FinishedRender> BackgroundRender::take() {
    reap(false);
    if (!current_ || !current_->done.load(std::memory_order_acquire)) return std::nullopt;
    // Done is the worker's last step: the join only waits for its thread to return.
    current_->thread.join();
    std::unique_ptr<Job> job = std::move(current_);
    if (!job->ok) return std::nullopt;
    return std::move(job->render);
}

void BackgroundRender::reap(bool wait) {
    std::erase_if(abandoned_, [wait](std::unique_ptr<Job>& job) {
        if (!wait && !job->done.load(std::memory_order_acquire)) return false;
        job->thread.join();
        return true;
    });
}

}  // namespace tarn
