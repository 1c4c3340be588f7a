// Loops the current line on the audio thread; the UI hands it the sound and the events lock-free.
#include "engine/live_player.h"

#include "engine/demo_line.h"
#include "engine/starting_sound.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tarn {

namespace {

constexpr int kDemoLoopBars = 8;
constexpr int kBeatsPerBar = 4;
// A block longer than this is a caller's mistake; keep the block buffers a sane size.
constexpr std::int32_t kMaxBlockFrames = 8192;
// Long enough that a full-level low note fades without a click, short enough to feel instant.
constexpr double kFadeSeconds = 0.004;
constexpr int kMaxFadeFrames = 4096;  // 4 ms at rates up to 1 MHz

// A configuration the player can run with: a rate or tempo that is not a positive finite
// number falls back to the defaults, so frames per beat is never 0 or infinite.
AudioConfig usable(const AudioConfig& requested) {
    const AudioConfig defaults;
    AudioConfig config = requested;
    if (!(std::isfinite(config.sampleRate) && config.sampleRate > 0.0f)) {
        config.sampleRate = defaults.sampleRate;
    }
    if (!(std::isfinite(config.tempo) && config.tempo > 0.0f)) {
        config.tempo = defaults.tempo;
    }
    if (!(framesPerBeat(config) > 0.0)) {
        config.sampleRate = defaults.sampleRate;
        config.tempo = defaults.tempo;
    }
    config.blockFrames = std::clamp(config.blockFrames, std::int32_t{1}, kMaxBlockFrames);
    return config;
}

}  // namespace

LivePlayer::LivePlayer()
    : config_(usable(AudioConfig{})),
      framesPerBeat_(tarn::framesPerBeat(config_)),
      blockLeft_(static_cast<std::size_t>(config_.blockFrames), 0.0f),
      blockRight_(static_cast<std::size_t>(config_.blockFrames), 0.0f) {
    voice_.setSampleRate(config_.sampleRate);
    events_ = phrases_.readSlot().events.data();
    resizeFades();
}

void LivePlayer::resizeFades() {
    fadeFrames_ = std::clamp(static_cast<int>(kFadeSeconds * config_.sampleRate), 1, kMaxFadeFrames);
    for (std::vector<float>* buffer : {&tailLeft_, &tailRight_, &rawLeft_, &rawRight_})
        buffer->assign(static_cast<std::size_t>(fadeFrames_), 0.0f);
    wasPlaying_ = playing();
    fadeIn_ = fadeFrames_;
    tailPlayed_ = fadeFrames_;
}

void LivePlayer::prepare(const AudioConfig& config) {
    config_ = usable(config);
    framesPerBeat_ = tarn::framesPerBeat(config_);
    livePatch_ = startingSound();
    voice_.setSampleRate(config_.sampleRate);

    // The demo line is the first phrase. The device is not running yet, so it is taken at once
    // and is current before the first callback.
    std::vector<PlayEvent> demo = notesToEvents(demoLine.data(), demoLine.size(), 0.0, framesPerBeat_, 1.0f);
    sortPlayEvents(demo);
    publishEvents(demo.data(), demo.size(), truncSaturating(framesPerBeat_ * kDemoLoopBars * kBeatsPerBar));
    phrases_.take();
    adoptPhrase();

    blockLeft_.assign(static_cast<std::size_t>(config_.blockFrames), 0.0f);
    blockRight_.assign(static_cast<std::size_t>(config_.blockFrames), 0.0f);
    resizeFades();
    seek(0.0);
}

void LivePlayer::publishEvents(const PlayEvent* events, std::size_t count, std::int64_t loopFrames) {
    PlayEventSlot& slot = phrases_.writeSlot();
    // A count is 32 bits; two billion events would not fit in memory anyway.
    const std::size_t kept = events == nullptr ? 0 : std::min<std::size_t>(count, INT32_MAX);
    // This thread holds the slot, so it may grow it; assign keeps the slot's storage when it is
    // large enough, so an unchanged length allocates nothing.
    slot.events.assign(events, events + kept);
    slot.count = static_cast<std::int32_t>(kept);
    slot.loopFrames = loopFrames;
    phrases_.publish();
}

void LivePlayer::process(float* out, int frames) {
    if (out == nullptr || frames <= 0) {
        return;
    }
    if (patches_.take()) {
        livePatch_ = patches_.readSlot();
    }
    // The tail takes what the player would have played next, so it starts before a seek moves it.
    const bool playing = playing_.load(std::memory_order_relaxed) != 0;
    if (!playing && wasPlaying_) {
        startTail();
    } else if (playing && !wasPlaying_) {
        fadeIn_ = 0;
    }
    wasPlaying_ = playing;
    const double seekTo = seekRequest_.exchange(-1.0);
    if (seekTo >= 0.0 && std::isfinite(seekTo)) {
        seek(seekTo);
    }
    if (!playing) {
        std::fill(out, out + 2 * static_cast<std::ptrdiff_t>(frames), 0.0f);
        mixTail(out, frames);
        return;
    }

    int written = 0;
    while (written < frames) {
        if (unread_ == 0) {
            dispatchEvents();
        }
        const int n = std::min(frames - written, unread_);
        const int from = config_.blockFrames - unread_;
        float* dest = out + 2 * static_cast<std::ptrdiff_t>(written);
        for (int k = 0; k < n; ++k) {
            dest[2 * k] = blockLeft_[static_cast<std::size_t>(from + k)];
            dest[2 * k + 1] = blockRight_[static_cast<std::size_t>(from + k)];
        }
        // Full level is the block as rendered, untouched.
        for (int k = 0; k < n && fadeIn_ < fadeFrames_; ++k) {
            const float gain = static_cast<float>(++fadeIn_) / static_cast<float>(fadeFrames_);
            dest[2 * k] *= gain;
            dest[2 * k + 1] *= gain;
        }
        unread_ -= n;
        written += n;
    }
    mixTail(out, frames);
    // Right after a block that wrapped, loopFrame_ - unread_ is negative: together with the
    // new pass's offset it still names the frame being heard.
    position_.store(beatsOffset_ + static_cast<double>(loopFrame_ - unread_) / framesPerBeat_,
                    std::memory_order_relaxed);
}

// The tail goes on from the level the output has reached (below full during a fade-in) down to
// exact zero over the fade; what is left of an earlier tail still sounds on top of it.
void LivePlayer::startTail() {
    const int n = fadeFrames_;
    const float level = static_cast<float>(fadeIn_) / static_cast<float>(n);
    fadeIn_ = 0;
    const int left = n - tailPlayed_;
    std::copy(tailLeft_.begin() + tailPlayed_, tailLeft_.end(), tailLeft_.begin());
    std::copy(tailRight_.begin() + tailPlayed_, tailRight_.end(), tailRight_.begin());
    std::fill(tailLeft_.begin() + left, tailLeft_.end(), 0.0f);
    std::fill(tailRight_.begin() + left, tailRight_.end(), 0.0f);
    tailPlayed_ = 0;
    if (level == 0.0f) {
        return;
    }

    // The rest of the rendered block first; the voice has already played it, so a copy of the
    // voice goes on from the block's end. The player's own voice is left as it stopped.
    const int fromBlock = std::min(unread_, n);
    const int blockAt = config_.blockFrames - unread_;
    std::copy_n(blockLeft_.begin() + blockAt, fromBlock, rawLeft_.begin());
    std::copy_n(blockRight_.begin() + blockAt, fromBlock, rawRight_.begin());
    if (fromBlock < n) {
        tailVoice_ = voice_;
        const VoiceTransport transport{static_cast<double>(loopFrame_) / framesPerBeat_ + beatsOffset_,
                                       config_.tempo, 1};
        tailVoice_.render(livePatch_, livePatch_.curves.data(), transport, rawLeft_.data() + fromBlock,
                          rawRight_.data() + fromBlock, n - fromBlock);
    }
    for (int k = 0; k < n; ++k) {
        const float gain = level * static_cast<float>(n - 1 - k) / static_cast<float>(n);
        tailLeft_[static_cast<std::size_t>(k)] += rawLeft_[static_cast<std::size_t>(k)] * gain;
        tailRight_[static_cast<std::size_t>(k)] += rawRight_[static_cast<std::size_t>(k)] * gain;
    }
}

void LivePlayer::mixTail(float* out, int frames) {
    for (int k = 0; k < frames && tailPlayed_ < fadeFrames_; ++k, ++tailPlayed_) {
        out[2 * k] += tailLeft_[static_cast<std::size_t>(tailPlayed_)];
        out[2 * k + 1] += tailRight_[static_cast<std::size_t>(tailPlayed_)];
    }
}

void LivePlayer::seek(double beats) {
    allNotesOff();
    const std::int64_t frame = truncSaturating(framesPerBeat_ * beats);
    loopFrame_ = loopFrames_ >= 1 ? frame % loopFrames_ : 0;
    unread_ = 0;
    beatsOffset_ = beats - static_cast<double>(loopFrame_) / framesPerBeat_;
    // The events are in play order: a binary search keeps a seek into a long line cheap.
    const PlayEvent* first = std::partition_point(events_, events_ + eventCount_,
                                                  [this](const PlayEvent& e) { return e.frame < loopFrame_; });
    cursor_ = static_cast<std::size_t>(first - events_);
    position_.store(beats, std::memory_order_relaxed);
}

void LivePlayer::allNotesOff() {
    for (std::int32_t i = 0; i < heldCount_; ++i) {
        voice_.noteOff(held_[i]);
    }
    heldCount_ = 0;
}

void LivePlayer::noteOn(int note, float velocity) {
    // No MIDI note, no sound: the note list never holds one, and a note the held list could not
    // keep would ring on through every stop and seek.
    if (note < 0 || note >= kMidiNoteCount) {
        return;
    }
    voice_.noteOn(note, velocity);
    // The voice keeps a note once however often it starts, and one note off ends it; the held
    // list mirrors that, which also keeps it from overflowing when a phrase never ends a note.
    for (std::int32_t i = 0; i < heldCount_; ++i) {
        if (held_[i] == note) {
            return;
        }
    }
    held_[heldCount_++] = note;  // at most one entry per MIDI note
}

void LivePlayer::noteOff(int note) {
    if (note < 0 || note >= kMidiNoteCount) {
        return;  // never started, and it must not release the note that sounds
    }
    voice_.noteOff(note);
    for (std::int32_t i = 0; i < heldCount_; ++i) {
        if (held_[i] == note) {
            held_[i] = held_[--heldCount_];
            return;
        }
    }
}

void LivePlayer::dispatchDue(std::int64_t frame) {
    while (cursor_ < static_cast<std::size_t>(eventCount_) && events_[cursor_].frame <= frame) {
        const PlayEvent& e = events_[cursor_++];
        if (e.on) {
            noteOn(e.note, e.velocity);
        } else {
            noteOff(e.note);
        }
    }
}

// Our own choice: a block that reaches the loop end is split there. Everything due up to the
// end is played and rendered, the loop wraps, and the block carries on with the next pass, so
// no note of the next pass is skipped and a note off at the loop end is delivered, whatever
// the rate, tempo and loop length (also loops shorter than a block).
void LivePlayer::dispatchEvents() {
    if (phrases_.take()) {
        allNotesOff();
        adoptPhrase();
        loopFrame_ = 0;
        cursor_ = 0;  // the beats offset stays: the new line starts where the old pass began
    }
    const bool looping = loopFrames_ >= 1;
    const int block = config_.blockFrames;
    VoiceTransport transport{0.0, config_.tempo, 1};
    int i = 0;
    while (i < block) {
        dispatchDue(loopFrame_);
        // After dispatchDue the next event lies beyond loopFrame_, and loopFrame_ stays below
        // the loop length, so every chunk has at least one frame.
        std::int64_t end = loopFrame_ + (block - i);
        if (looping) {
            end = std::min(end, loopFrames_);
        }
        if (cursor_ < static_cast<std::size_t>(eventCount_)) {
            end = std::min(end, events_[cursor_].frame);
        }
        const int n = static_cast<int>(end - loopFrame_);
        transport.beats = static_cast<double>(loopFrame_) / framesPerBeat_ + beatsOffset_;
        voice_.render(livePatch_, livePatch_.curves.data(), transport, blockLeft_.data() + i,
                      blockRight_.data() + i, n);
        i += n;
        loopFrame_ += n;
        if (looping && loopFrame_ >= loopFrames_) {
            wrap();
        }
    }
    unread_ = block;
}

void LivePlayer::adoptPhrase() {
    const PlayEventSlot& slot = phrases_.readSlot();
    events_ = slot.events.data();
    const auto held = static_cast<std::int32_t>(std::min<std::size_t>(slot.events.size(), INT32_MAX));
    eventCount_ = std::clamp(slot.count, std::int32_t{0}, held);
    loopFrames_ = slot.loopFrames;
}

void LivePlayer::wrap() {
    // Note offs still due at or past the loop end are delivered now, so no note hangs into the
    // next pass; note ons there start nothing, as they belong to no pass.
    for (; cursor_ < static_cast<std::size_t>(eventCount_); ++cursor_) {
        if (!events_[cursor_].on) {
            noteOff(events_[cursor_].note);
        }
    }
    loopFrame_ -= loopFrames_;
    beatsOffset_ += static_cast<double>(loopFrames_) / framesPerBeat_;
    cursor_ = 0;
}

}  // namespace tarn
