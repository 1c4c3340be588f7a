// Work the UI thread hands to a thread of its own and polls for, so that seconds of it never stop a frame.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace tarn {

// One job at a time on a worker thread owned by the UI thread. The worker shares nothing with the UI
// thread but its own job (the work, which holds copies of what it needs, its result and two flags),
// and nothing at all with the audio thread; the UI thread polls and never waits on it. A job that is
// superseded or cancelled is told so through its flag, and joined once it has finished.
template <class Result>
class BackgroundJob {
public:
    // Returns the result, or nothing once it sees `cancelled` set (checking it is the work's own
    // affair: work that cannot stop early runs to its end, and its result is dropped).
    using Work = std::function<std::optional<Result>(const std::atomic<bool>& cancelled)>;

    BackgroundJob() = default;
    ~BackgroundJob() {
        cancel();
        reap(true);
    }
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Starts the work; a job still running is abandoned.
    void start(Work work) {
        cancel();
        reap(false);
        current_ = std::make_unique<Job>();
        current_->work = std::move(work);
        Job* job = current_.get();
        current_->thread = std::thread([job] {
            job->result = job->work(job->cancelled);
            job->done.store(true, std::memory_order_release);
        });
    }

    void cancel() {
        if (!current_) return;
        current_->cancelled.store(true, std::memory_order_relaxed);
        abandoned_.push_back(std::move(current_));
    }

    // A job was started and has been neither taken nor cancelled.
    bool running() const { return current_ != nullptr; }

    // The started job's result once it has finished, handed over once; nothing while it runs.
    std::optional<Result> take() {
        reap(false);
        if (!current_ || !current_->done.load(std::memory_order_acquire)) return std::nullopt;
        // Done is the worker's last step: the join only waits for its thread to return.
        current_->thread.join();
        const std::unique_ptr<Job> job = std::move(current_);
        return std::move(job->result);
    }

private:
    struct Job {
        Work work;
        std::optional<Result> result;
        std::atomic<bool> cancelled{false};
        std::atomic<bool> done{false};  // release: the result is written
        std::thread thread;
    };

    void reap(bool wait) {
        std::erase_if(abandoned_, [wait](std::unique_ptr<Job>& job) {
            if (!wait && !job->done.load(std::memory_order_acquire)) return false;
            job->thread.join();
            return true;
        });
    }

    std::unique_ptr<Job> current_;
    std::vector<std::unique_ptr<Job>> abandoned_;
};

}  // namespace tarn
