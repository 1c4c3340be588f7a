// The offline render's schedule: events at their frames, the voice in blocks between them.
#include "engine/offline_render.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tarn {
namespace {

constexpr double kTailBeats = 4.0;  // room for the last note's release

}  // namespace

std::int64_t phraseRenderFrames(const NoteEvent* notes, std::size_t count, const AudioConfig& config) {
    const double fpb = framesPerBeat(config);
    if (fpb <= 0.0) return 0;
    return std::max<std::int64_t>(truncSaturating((notesEndBeats(notes, count) + kTailBeats) * fpb), 0);
}

std::int64_t renderLengthFrames(const NoteEvent* notes, std::size_t count, const AudioConfig& config) {
    const double limit = std::min(std::floor(kMaxRenderSeconds * static_cast<double>(config.sampleRate)),
                                  static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    return std::min(phraseRenderFrames(notes, count, config), truncSaturating(limit));
}

OfflineRender::OfflineRender(const Patch& patch, const float* curves, const NoteEvent* notes, std::size_t count,
                             const AudioConfig& config, std::int64_t totalFrames)
    : patch_(patch),
      total_(std::max<std::int64_t>(totalFrames, 0)),
      // A block size below one frame would never move forward.
      block_(std::max<std::int32_t>(config.blockFrames, 1)),
      framesPerBeat_(framesPerBeat(config)),
      voice_(std::make_unique<Voice>()) {
    if (curves != patch_.curves.data())
        std::memcpy(patch_.curves.points, curves, sizeof(patch_.curves.points));
    events_ = notesToEvents(notes, count, 0.0, framesPerBeat_, 1.0f);
    sortPlayEvents(events_);
    voice_->setSampleRate(config.sampleRate);
    transport_.tempo = config.tempo;
    transport_.running = 1;
}

std::int64_t OfflineRender::next(float* left, float* right, std::int64_t capacity) {
    std::int64_t written = 0;
    while (position_ < total_) {
        for (; cursor_ < events_.size() && events_[cursor_].frame <= position_; ++cursor_) {
            const PlayEvent& e = events_[cursor_];
            if (e.on != 0) voice_->noteOn(e.note, e.velocity);
            else voice_->noteOff(e.note);
        }
        std::int64_t chunk = std::min(total_ - position_, block_);
        if (cursor_ < events_.size()) chunk = std::min(chunk, events_[cursor_].frame - position_);
        // The chunks are those of one uninterrupted render, so a piece ends before a chunk that
        // would not fit rather than splitting it; only a piece too small for any chunk splits one.
        if (written + chunk > capacity) {
            if (written > 0 || capacity <= 0) break;
            chunk = capacity;
        }
        transport_.beats = static_cast<double>(position_) / framesPerBeat_;
        voice_->render(patch_, patch_.curves.data(), transport_, left + written, right + written,
                       static_cast<int>(chunk));
        position_ += chunk;
        written += chunk;
    }
    return written;
}

StereoAudio renderNotes(const Patch& patch, const float* curves, const NoteEvent* notes, std::size_t count,
                        const AudioConfig& config) {
    const std::int64_t total = renderLengthFrames(notes, count, config);
    StereoAudio out;
    if (total <= 0) return out;
    out.left.assign(static_cast<std::size_t>(total), 0.0f);
    out.right.assign(static_cast<std::size_t>(total), 0.0f);
    OfflineRender render(patch, curves, notes, count, config, total);
    while (!render.finished()) {
        const auto at = static_cast<std::size_t>(render.position());
        render.next(out.left.data() + at, out.right.data() + at, total - render.position());
    }
    return out;
}

}  // namespace tarn
