// Loops the current line on the audio thread; the UI hands it the sound and the events lock-free.
#pragma once

#include "engine/audio_config.h"
#include "engine/notes.h"
#include "engine/patch.h"
#include "engine/triple_buffer.h"
#include "engine/voice.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarn {

// MIDI notes 0-127: the only notes the player starts, so its held list can hold them all.
inline constexpr int kMidiNoteCount = 128;

// One published phrase: the first `count` events in play order and the loop length. The UI
// thread sizes `events` while it holds the slot, so a phrase of any length fits; the audio
// thread only reads the slot it holds and never resizes it.
struct PlayEventSlot {
    std::vector<PlayEvent> events;
    std::int32_t count = 0;       // beyond events.size() it counts as events.size()
    std::int64_t loopFrames = 0;  // below 1: the line plays once and does not loop
};

// The UI thread publishes patches and phrases and posts play/stop and seeks; the audio thread
// calls `process` from the device callback. `prepare` runs on the UI thread while no callback
// can run. Nothing on the audio side allocates, locks, blocks or logs.
class LivePlayer {
public:
    LivePlayer();
    LivePlayer(const LivePlayer&) = delete;
    LivePlayer& operator=(const LivePlayer&) = delete;

    // Before the device runs: adopts the configuration (the device's actual rate), installs the
    // starting sound and the demo line as the first phrase, and rewinds to beat 0.
    void prepare(const AudioConfig& config);

    // The configuration in use; fixed between prepares, so the UI may read it at any time.
    const AudioConfig& config() const { return config_; }
    double framesPerBeat() const { return framesPerBeat_; }

    // --- UI thread ---------------------------------------------------------------------
    // Fill the slot, then publish; or publish a whole value at once.
    Patch& patchSlot() { return patches_.writeSlot(); }
    void publishPatch() { patches_.publish(); }
    void publishPatch(const Patch& patch) { patches_.publish(patch); }

    PlayEventSlot& eventSlot() { return phrases_.writeSlot(); }
    void publishEvents() { phrases_.publish(); }
    // Copies `events` (already in play order) into the slot, growing it as needed, and publishes.
    void publishEvents(const PlayEvent* events, std::size_t count, std::int64_t loopFrames);

    // Stopping fades the output out over 4 ms and then writes exact zeros; playing again fades in
    // over as long. The clock stands still from the callback that sees the stop.
    void setPlaying(bool playing) { playing_.store(playing ? 1 : 0, std::memory_order_relaxed); }
    bool playing() const { return playing_.load(std::memory_order_relaxed) != 0; }
    // Applied at the start of the next callback, also while stopped. Negative and non-finite
    // beats are ignored.
    void requestSeek(double beats) { seekRequest_.store(beats, std::memory_order_relaxed); }
    // A seek was requested and the audio thread has not taken it yet: `position` is still the old one.
    bool seekPending() const { return seekRequest_.load(std::memory_order_relaxed) >= 0.0; }
    // Beats now audible; counts on across loop passes.
    double position() const { return position_.load(std::memory_order_relaxed); }

    // --- audio thread ------------------------------------------------------------------
    // Fills `frames` interleaved stereo frames of `out`.
    void process(float* out, int frames);

    // The audio thread's clock, for tests and diagnostics on that thread.
    std::int64_t loopFrame() const { return loopFrame_; }
    double beatsOffset() const { return beatsOffset_; }
    int heldCount() const { return heldCount_; }

private:
    void seek(double beats);
    void allNotesOff();
    void dispatchEvents();
    void dispatchDue(std::int64_t frame);
    void noteOn(int note, float velocity);
    void noteOff(int note);
    void wrap();
    void resizeFades();
    void startTail();
    void mixTail(float* out, int frames);
    // Points the events view at the slot just taken.
    void adoptPhrase();

    TripleBuffer<Patch> patches_;
    TripleBuffer<PlayEventSlot> phrases_;
    Voice voice_;
    Patch livePatch_;
    AudioConfig config_;
    double framesPerBeat_ = 0.0;

    // The taken phrase.
    const PlayEvent* events_ = nullptr;
    std::int32_t eventCount_ = 0;
    std::int64_t loopFrames_ = 0;

    // Every note the player started and has not ended, each once. It can hold every note a
    // phrase can start, so all-notes-off always silences everything.
    std::int32_t held_[kMidiNoteCount] = {};
    std::int32_t heldCount_ = 0;

    std::int64_t loopFrame_ = 0;  // frame within the loop where the next block starts
    double beatsOffset_ = 0.0;    // beat position of loop frame 0 in the current pass
    std::size_t cursor_ = 0;      // next event to dispatch

    std::vector<float> blockLeft_;
    std::vector<float> blockRight_;
    int unread_ = 0;  // frames of the last block not yet copied out

    // Fades. A stop hands what would have sounded next to a tail: the unread frames of the block
    // and then a copy of the voice, faded out, while the player itself stands still. The tail
    // plays out on its own, so playing again at once overlaps it with the fade-in.
    int fadeFrames_ = 1;
    int fadeIn_ = 0;      // frames of the fade-in played; fadeFrames_ = full level
    int tailPlayed_ = 0;  // frames of the tail played; fadeFrames_ = no tail
    bool wasPlaying_ = true;
    Voice tailVoice_;
    std::vector<float> tailLeft_, tailRight_;  // the tail with its fade applied
    std::vector<float> rawLeft_, rawRight_;    // the tail's sound before the fade

    std::atomic<std::uint8_t> playing_{1};
    std::atomic<double> seekRequest_{-1.0};  // -1: no request
    std::atomic<double> position_{0.0};

    static_assert(std::atomic<std::uint8_t>::is_always_lock_free);
    static_assert(std::atomic<double>::is_always_lock_free);
};

}  // namespace tarn
