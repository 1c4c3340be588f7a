// The bass voice: note stack, control-rate updates and the per-sample render.
#include "engine/voice.h"

#include "engine/display_mappings.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

namespace tarn {
namespace {

inline float clampUnit(float x) { return x > 1.0f ? 1.0f : (x >= 0.0f ? x : 0.0f); }

double fraction(double x) { return x - std::floor(x); }

// Linear interpolation on a 64-point looped curve at p in 0..64, points clamped to -1..1.
float curveAt(const float* curve, float p) {
    const int i = std::clamp(static_cast<int>(p), 0, kCurvePoints - 1);
    const float here = clampUnitSigned(curve[i]);
    const float next = clampUnitSigned(curve[(i + 1) % kCurvePoints]);
    return here + (next - here) * (p - static_cast<float>(i));
}

// Resonance of the low-pass: rises with the motion-to-tone depth so the sweep speaks.
constexpr float kLowPassBaseQ = 0.707f;

// The fixed high-pass: the constant is tan's argument 2 pi x 60 and its damping; the sound
// depends on these exact values.
constexpr float kRumbleCornerRadians = 376.99112f;  // 2 pi x 60 Hz
constexpr float kRumbleDamping = 1.4144272f;

}  // namespace

Voice::Voice() {
    // Builds the decimator taps here, on the constructing (UI) thread, never on the audio thread.
    halfBandTaps();
    envelope.shape = effectiveShape;
}

void Voice::setSampleRate(float rate) {
    halfBandTaps();
    // Own decision: a rate that is not a positive finite number is ignored rather than
    // allowed to turn every coefficient into NaN.
    if (!(rate > 0.0f) || !std::isfinite(rate)) return;
    sampleRate = rate;
    envelope.rate = rate;
    halfPeriod = 1.0 / (2.0 * static_cast<double>(rate));
    const float pole = 1.0f - 31.415928f / rate;  // DC blocker corner: 5 Hz
    dcLeft.pole = pole;
    dcRight.pole = pole;
    const float g = std::tan(kRumbleCornerRadians / rate);
    highPassA.setCoefficients(g, kRumbleDamping);
    highPassB.setCoefficients(g, kRumbleDamping);
    const std::int32_t fiveMs = std::max(static_cast<std::int32_t>(rate * 5.0f * 0.001f), std::int32_t{1});
    weightRamp.length = fiveMs;
    pluckRamp.length = fiveMs;
    // The level ramp spans one control interval at any rate (64 samples).
    const float levelMs = 64000.0f / rate;
    levelRamp.length = std::max(static_cast<std::int32_t>(levelMs * rate * 0.001f), std::int32_t{1});
    transient.fall = std::exp(-1.0f / (rate * 0.12f));
    transient.rise = 1.0f - std::exp(-1.0f / (rate * 0.001f));
    // The first render after a rate change updates its controls at sample 0.
    controlCountdown = 0;
}

void Voice::noteOn(int note, float noteVelocity) {
    const bool tie = legato && heldCount > 0;
    for (int i = 0; i < heldCount; ++i) {
        if (heldNotes[i] == note) {
            std::copy(heldNotes + i + 1, heldNotes + heldCount, heldNotes + i);
            --heldCount;
            break;
        }
    }
    if (heldCount == kHeldNoteLimit) {
        std::copy(heldNotes + 1, heldNotes + heldCount, heldNotes);
        --heldCount;
    }
    heldNotes[heldCount++] = note;

    targetNote = static_cast<float>(note);
    // NaN velocity counts as silent.
    targetVelocity = noteVelocity > 1.0f ? 1.0f : (noteVelocity >= 0.0f ? noteVelocity : 0.0f);

    if (tie) {
        // A tie: the pitch glides to the new target under the running envelope.
        transient.restart();
        return;
    }
    glidedNote.value = targetNote;
    pitchEnvelope.value = 1.0f;
    samplesSinceNoteOn = 0.0;
    if (envelope.stage == kEnvelopeIdle) {
        // A note from silence starts every oscillator from zero so its attack is repeatable;
        // filters and DC blockers keep their (settled) state.
        subPhase = 0.0;
        oscA.clear();
        oscB.clear();
        shaperA.reset(shaper, 0.0f);
        shaperB.reset(shaper, 0.0f);
        decimatorA.clear();
        decimatorB.clear();
    }
    envelope.shape = effectiveShape;
    envelope.attack();
    transient.restart();
}

void Voice::noteOff(int note) {
    int kept = 0;
    for (int i = 0; i < heldCount; ++i)
        if (heldNotes[i] != note) heldNotes[kept++] = heldNotes[i];
    heldCount = kept;
    if (heldCount > 0) {
        targetNote = static_cast<float>(heldNotes[heldCount - 1]);
        return;
    }
    if (envelope.stage == kEnvelopeIdle) return;  // nothing sounding to release
    // Longer notes ring out longer: 0.02 s for a stab up to 0.2 s after a second or more.
    const float held = static_cast<float>(std::min(samplesSinceNoteOn / sampleRate, 1.0));
    envelope.release(held * 0.18f + 0.02f);
}

void Voice::updateControls(const Patch& p, const float* curves, bool timed, double beats) {
    onePoleCoefficient(glidedNote, p.glide, sampleRate);
    onePoleCoefficient(pitchEnvelope, p.punchTime, sampleRate);
    onePoleCoefficient(smoothedVelocity, 0.005f, sampleRate);
    legato = p.legato >= 0.5f ? 1 : 0;

    // Motion lanes: one pass of each curve per motionRate beats; at rest they leave the
    // sound alone.
    float toneLane = 0.0f;
    float driveLane = 1.0f;
    float levelLane = 1.0f;
    if (timed && p.motionRate > 0.0f) {
        const float f = static_cast<float>(fraction(beats / p.motionRate));
        const float p64 = f * 64.0f;
        toneLane = curveAt(curves + 0 * kCurvePoints, p64);
        driveLane = curveAt(curves + 1 * kCurvePoints, p64);
        levelLane = curveAt(curves + 2 * kCurvePoints, p64);
    }

    // Phrase arc: one pass of the arc lanes per arcBars four-beat bars.
    float raw[kArcLanes] = {};
    if (timed && p.arcBars > 0.0f) {
        const double position = beats * 0.25 / p.arcBars;
        for (int lane = 0; lane < kArcLanes; ++lane) raw[lane] = arcOffset(p, curves, lane, position);
    }
    const float controlRate = sampleRate / static_cast<float>(kControlInterval);
    for (int lane = 0; lane < kArcLanes; ++lane) {
        OnePole& offset = arcOffsets[lane];
        onePoleCoefficient(offset, lane == 0 ? 0.0f : 0.1f, controlRate);
        if (arcsSet)
            stepTowards(offset, raw[lane]);
        else
            offset.value = raw[lane];
    }
    arcsSet = 1;
    const float shapeTerm = arcOffsets[0].value * 0.8660254f * 0.58f;
    const float toneOffset = arcOffsets[1].value;
    const float driveOffset = arcOffsets[2].value;
    const float motionOffset = arcOffsets[3].value;
    const float spreadOffset = arcOffsets[4].value;

    // Effective values.
    const float toneDepth = motionDepth(p, 0, motionOffset);
    const float driveDepth = motionDepth(p, 1, motionOffset) * 0.5f;
    const float levelGain = motionLevelGain(motionDepth(p, 2, motionOffset), levelLane);
    const float drive = (1.0f - (1.0f - clampUnitSigned(driveLane)) * driveDepth) * arcDrive(p, driveOffset);
    const float tone = arcTone(p, toneOffset);
    const float spread = arcSpread(p, spreadOffset);

    // Higher notes are a little more plucked: 0.05 of shape per octave above C2.
    const float shape = clampUnit(p.shape + shapeTerm - (glidedNote.value - 36.0f) / 12.0f * 0.05f);
    effectiveShape = shape;
    envelope.shape = shape;
    if (envelope.stage == kEnvelopeAttack) envelope.setTime(shape * shape * 0.4f + 0.001f);

    // Velocity opens punch, drive and the filter. Past 0.7 extra drive turns into oscillator
    // feedback instead of more shaper gain.
    const float v = smoothedVelocity.value;
    punchAmount = (v * 0.7f + 0.3f) * p.punch;
    // Own decision: the shaper drive is held to 0..1, which every in-range patch already
    // gives; beyond it asin(b) would leave its domain and the voice would output NaN.
    float d = clampUnit((v * 0.5f + 0.5f) * drive);
    if (d > 0.7f) {
        const float u = (d - 0.7f) / 0.3f;
        feedback = u * u * 0.75f;
        d = (1.0f - u * 0.094f) * 0.7f;
    } else {
        feedback = 0.0f;
    }
    setShaperDrive(shaper, d);
    shaperA.reset(shaper, shaperA.x1);
    shaperB.reset(shaper, shaperB.x1);

    // Low-pass: the tone lane sweeps the cutoff around the played tone.
    const float u = toneLane * 0.5f + 0.5f;
    const float unit = clampUnit((u - 0.5f) * toneDepth + tone - (1.0f - v) * 0.25f);
    const float hz = std::min(sampleRate * 0.45f, cutoffFromUnit(unit));
    const float g = std::tan(hz * 3.1415927f / sampleRate);
    const float damping = 1.0f / (kLowPassBaseQ + 3.0f * toneDepth);
    lowPassA.setCoefficients(g, damping);
    lowPassB.setCoefficients(g, damping);

    width = spread;
    mainLevel = 1.0f / std::sqrt(spread * spread + 1.0f);
    detuneHz = spread * 1.2f * 0.5f;
    // The resonant sweep is louder; pull the paths down as its depth grows.
    gainCompensation = 1.0f - toneDepth * 0.56f;

    weightRamp.set(p.weight);
    pluckRamp.set(p.pluck);
    levelRamp.set(levelGain);
}

void Voice::render(const Patch& patch, const float* curves, const VoiceTransport& t, float* left,
                   float* right, int frames) {
    if (frames <= 0) return;
    const double samplesPerBeat = static_cast<double>(sampleRate) * 60.0 / static_cast<double>(t.tempo);
    const double firstSampleAt = samplesPerBeat * t.beats;
    const bool timed = t.running && t.tempo > 0.0f && std::isfinite(firstSampleAt) &&
                       std::fabs(firstSampleAt) < 9.0e18;
    const long long firstSample = timed ? std::llround(firstSampleAt) : 0;

    int done = 0;
    while (done < frames) {
        if (controlCountdown <= 0) {
            const double beats = timed ? static_cast<double>(firstSample + done) / samplesPerBeat : 0.0;
            updateControls(patch, curves, timed, beats);
            controlCountdown = kControlInterval;
        }
        const int count = std::min({controlCountdown, frames - done, kControlInterval});
        renderSamples(count, left + done, right + done);
        controlCountdown -= count;
        done += count;
    }
}

void Voice::renderSamples(int count, float* left, float* right) {
    // The work runs in stages over the whole stretch (at most one control interval), each
    // stage a loop over independent values wherever the signal allows: the per-sample chain
    // through the oscillators' feedback is the only serial part, and the shaper's double
    // logarithms of many samples can overlap. Every value is computed exactly as a
    // sample-by-sample loop would; only the order of independent work changes. Everything
    // goes into local blocks first, which the output pointers cannot alias.
    constexpr int kMax = kControlInterval;
    constexpr int kMaxOversampled = 2 * kControlInterval;
    const float rate = sampleRate;

    // Pitch: punch and glide, then the increments of both paths and the sub.
    float hz[kMax];
    double incrementA[kMax];
    double incrementB[kMax];
    float sub[kMax];
    // A held note's pitch stops moving once punch and glide have settled: the last exponent
    // and its result are reused while the exponent repeats exactly.
    float lastExponent = std::numeric_limits<float>::quiet_NaN();
    float lastHz = 0.0f;
    for (int i = 0; i < count; ++i) {
        const float pe = stepTowards(pitchEnvelope, 0.0f);
        const float note = stepTowards(glidedNote, targetNote);
        // Up to 18 semitones of punch, falling into the note.
        const float exponent = (pe * punchAmount * 18.0f + note - 69.0f) / 12.0f;
        if (exponent != lastExponent) {
            lastExponent = exponent;
            lastHz = 440.0f * std::exp2(exponent);
        }
        hz[i] = lastHz;
        incrementA[i] = static_cast<double>(hz[i] - detuneHz) * halfPeriod;
        incrementB[i] = static_cast<double>(hz[i] + detuneHz) * halfPeriod;
    }
    for (int i = 0; i < count; ++i) {
        subPhase += static_cast<double>(hz[i]) / static_cast<double>(rate);
        if (subPhase >= 1.0) {
            subPhase -= 1.0;
            if (subPhase >= 1.0) subPhase -= std::floor(subPhase);
        }
        sub[i] = static_cast<float>(subPhase);
    }
    for (int i = 0; i < count; ++i) sub[i] = std::sin(2.0f * 3.1415927f * sub[i]);

    // Oscillators at twice the rate; A and B interleaved so their feedback chains overlap.
    float oscillatorA[kMaxOversampled];
    float oscillatorB[kMaxOversampled];
    for (int k = 0; k < 2 * count; ++k) {
        oscillatorA[k] = pmSine(oscA, incrementA[k / 2], feedback);
        oscillatorB[k] = pmSine(oscB, incrementB[k / 2], feedback);
    }

    // Shaper, then the decimators.
    float shapedA[kMaxOversampled] = {};  // zeroed only to reassure the compiler
    float shapedB[kMaxOversampled] = {};
    adaaTanhBlock(shaper, shaperA, oscillatorA, shapedA, 2 * count);
    adaaTanhBlock(shaper, shaperB, oscillatorB, shapedB, 2 * count);
    float pathA[kMax];
    float pathB[kMax];
    decimatorA.processBlock(shapedA, pathA, count);
    decimatorB.processBlock(shapedB, pathB, count);

    float blockLeft[kMax];
    float blockRight[kMax];
    for (int i = 0; i < count; ++i) {
        weightRamp.advance();
        pluckRamp.advance();
        levelRamp.advance();
        const float weight = weightRamp.value;
        const float pluck = pluckRamp.value;
        const float tr = transient.next();
        const float pathGain = (tr * pluck + (1.0f - pluck)) * (1.0f - weight) * 0.75f * gainCompensation;

        const float outA = tptHighPass(highPassA, tptLowPass(lowPassA, pathA[i])) * pathGain;
        const float outB = tptHighPass(highPassB, tptLowPass(lowPassB, pathB[i])) * pathGain;
        const float mid = (outA + outB) * 0.5f;
        const float side = (outA - outB) * 0.5f * width;

        const float v = stepTowards(smoothedVelocity, targetVelocity);
        const float env = envelope.next();
        const float gain = env * (v * 0.6f + 0.4f) * levelRamp.value;
        blockLeft[i] = dcLeft.process(((mid + side) * mainLevel + sub[i] * weight) * gain);
        blockRight[i] = dcRight.process(((mid - side) * mainLevel + sub[i] * weight) * gain);
    }
    samplesSinceNoteOn += count;
    std::memcpy(left, blockLeft, sizeof(float) * static_cast<std::size_t>(count));
    std::memcpy(right, blockRight, sizeof(float) * static_cast<std::size_t>(count));
}

}  // namespace tarn
