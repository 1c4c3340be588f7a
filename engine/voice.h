// The bass voice: a monophonic feedback-PM synth with glide, punch, an anti-aliased shaper at 2x, filters, width, motion and phrase arc.
#pragma once

#include "engine/adaa_tanh.h"
#include "engine/envelopes.h"
#include "engine/half_band_decimator.h"
#include "engine/linear_ramp.h"
#include "engine/one_pole.h"
#include "engine/patch.h"
#include "engine/pm_sine.h"
#include "engine/tpt_filter.h"

#include <cstdint>

namespace tarn {

// Where the music is at the first sample of a render: the motion lanes and the phrase arc
// follow it. When not running (or at a tempo of 0 or below) they rest.
struct VoiceTransport {
    double beats = 0.0;  // beat position at the first sample of the block
    float tempo = 120.0f;  // BPM
    std::uint8_t running = 0;
};

inline constexpr int kHeldNoteLimit = 8;
inline constexpr int kControlInterval = 64;  // samples between control updates

// One voice. It owns no heap memory and is copyable; one thread at a time touches it. The
// state is public for inspection, but only the member functions change it. Call
// setSampleRate before the first render.
struct Voice {
    // Oscillator paths A and B, each run at twice the sample rate.
    double subPhase = 0.0;  // cycles
    PmSine oscA;
    ShaperInput shaperA;
    HalfBandDecimator decimatorA;
    PmSine oscB;
    ShaperInput shaperB;
    HalfBandDecimator decimatorB;
    Shaper shaper;

    float width = 0.0f;      // side gain
    float mainLevel = 1.0f;  // keeps the stereo paths' sum level as width grows

    TptFilter lowPassA, lowPassB;
    TptFilter highPassA, highPassB;  // fixed at the rumble corner

    AmpEnvelope envelope;
    float sampleRate = 48000.0f;

    OnePole glidedNote;     // value: the note in semitones as it glides
    OnePole pitchEnvelope;  // value: punch, 1 at a note-on falling to 0
    OnePole smoothedVelocity;

    // Smoothed arc offsets, by arc lane (shape, tone, drive, motion, spread). Shape follows
    // its target at once; the others glide over 0.1 s at control rate.
    OnePole arcOffsets[kArcLanes];

    LinearRamp weightRamp, pluckRamp, levelRamp;
    TransientEnvelope transient;
    DcBlocker dcLeft, dcRight;

    std::int32_t heldNotes[kHeldNoteLimit] = {};  // oldest first
    std::int32_t heldCount = 0;

    double halfPeriod = 1.0 / 96000.0;  // seconds per oversampled step

    float targetNote = 36.0f;  // semitones (MIDI note)
    float targetVelocity = 1.0f;
    float effectiveShape = 0.4f;
    std::uint8_t arcsSet = 0;  // 1 once the arc smoothers have taken their first target
    std::uint8_t legato = 1;
    double samplesSinceNoteOn = 0.0;  // since the last note-on that was not a legato tie

    float punchAmount = 0.0f;
    float feedback = 0.0f;
    float detuneHz = 0.0f;
    float gainCompensation = 1.0f;

    std::int32_t controlCountdown = 0;  // samples until the next control update

    Voice();

    void setSampleRate(float rate);
    void noteOn(int note, float velocity);
    void noteOff(int note);

    // Overwrites `frames` samples of left and right. `curves` is the patch's own curve block.
    void render(const Patch& patch, const float* curves, const VoiceTransport& t, float* left,
                float* right, int frames);

    // The control-rate part of render, at the transport position `beats` (ignored when
    // `timed` is false). Public so tests can check derived values; render calls it.
    void updateControls(const Patch& patch, const float* curves, bool timed, double beats);

private:
    void renderSamples(int count, float* left, float* right);
};

}  // namespace tarn
