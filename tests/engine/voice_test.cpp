// The bass voice: note stack, legato, release, width, drive, transport rest and block independence.
#include "engine/voice.h"

#include "engine/half_band_decimator.h"
#include "engine/one_pole.h"
#include "engine/patch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarn {
namespace {

constexpr float kRate = 48000.0f;

struct Rendered {
    std::vector<float> left;
    std::vector<float> right;
};

// Renders `frames` frames in blocks of `block`, the transport advancing with the frames.
Rendered renderFrames(Voice& voice, const Patch& patch, int frames, int block = 64,
                      VoiceTransport t = {0.0, 120.0f, 0}, double startFrame = 0.0) {
    Rendered out{std::vector<float>(static_cast<std::size_t>(frames)),
                 std::vector<float>(static_cast<std::size_t>(frames))};
    const double framesPerBeat = kRate * 60.0 / t.tempo;
    for (int at = 0; at < frames; at += block) {
        const int n = std::min(block, frames - at);
        VoiceTransport now = t;
        now.beats = (startFrame + at) / framesPerBeat;
        voice.render(patch, patch.curves.data(), now, out.left.data() + at, out.right.data() + at, n);
    }
    return out;
}

Voice freshVoice() {
    Voice voice;
    voice.setSampleRate(kRate);
    return voice;
}

float coefficientFor(float seconds) {
    OnePole pole;
    return onePoleCoefficient(pole, seconds, kRate);
}

TEST(OnePoleCoefficient, ZeroTimeJumpsAndValueIsUntouched) {
    OnePole pole{0.25f, 0.5f};
    EXPECT_EQ(onePoleCoefficient(pole, 0.0f, kRate), 1.0f);
    EXPECT_EQ(pole.coefficient, 1.0f);
    EXPECT_EQ(onePoleCoefficient(pole, -1.0f, kRate), 1.0f);
    EXPECT_EQ(pole.value, 0.25f);
    const float c = onePoleCoefficient(pole, 0.01f, kRate);
    EXPECT_FLOAT_EQ(c, 1.0f - std::exp(-1.0f / 480.0f));
    EXPECT_EQ(pole.value, 0.25f);
}

TEST(VoiceNoteStack, NinthNoteDropsTheOldestAndReleasingTheNewestGlidesBack) {
    Voice voice = freshVoice();
    Patch patch;
    patch.glide = 0.05f;
    for (int i = 0; i < 9; ++i) voice.noteOn(40 + i, 1.0f);
    ASSERT_EQ(voice.heldCount, 8);
    EXPECT_EQ(voice.heldNotes[0], 41);  // 40 was dropped
    EXPECT_EQ(voice.heldNotes[7], 48);
    renderFrames(voice, patch, 24000);  // attack of shape 0.4: 65 ms time constant
    ASSERT_EQ(voice.envelope.stage, kEnvelopeDecay);
    const float before = voice.glidedNote.value;

    voice.noteOff(48);
    EXPECT_EQ(voice.targetNote, 47.0f);
    EXPECT_EQ(voice.envelope.stage, kEnvelopeDecay);  // no new attack
    EXPECT_EQ(voice.glidedNote.value, before);        // no jump either
    renderFrames(voice, patch, 240);
    EXPECT_LT(voice.glidedNote.value, before);
    EXPECT_GT(voice.glidedNote.value, 47.0f);  // still on its way after 5 ms of a 50 ms glide
    EXPECT_EQ(voice.envelope.stage, kEnvelopeDecay);

    // The dropped note's release changes nothing; re-pressing a held note moves it to the top.
    voice.noteOff(40);
    EXPECT_EQ(voice.heldCount, 7);
    voice.noteOn(43, 1.0f);
    EXPECT_EQ(voice.heldCount, 7);
    EXPECT_EQ(voice.heldNotes[6], 43);
    EXPECT_EQ(voice.targetNote, 43.0f);
}

TEST(VoiceLegato, TieGlidesUnderTheRunningEnvelope) {
    Voice voice = freshVoice();
    Patch patch;  // legato on by default
    voice.noteOn(36, 1.0f);  // nothing held before: a normal attack
    EXPECT_EQ(voice.envelope.stage, kEnvelopeAttack);
    EXPECT_EQ(voice.glidedNote.value, 36.0f);
    renderFrames(voice, patch, 24000);
    ASSERT_EQ(voice.envelope.stage, kEnvelopeDecay);
    const double sinceOn = voice.samplesSinceNoteOn;

    voice.noteOn(43, 0.5f);
    EXPECT_EQ(voice.envelope.stage, kEnvelopeDecay);
    EXPECT_EQ(voice.glidedNote.value, 36.0f);
    EXPECT_EQ(voice.samplesSinceNoteOn, sinceOn);
    EXPECT_EQ(voice.targetNote, 43.0f);
    EXPECT_EQ(voice.targetVelocity, 0.5f);
    renderFrames(voice, patch, 64);
    EXPECT_GT(voice.glidedNote.value, 36.0f);
    EXPECT_LT(voice.glidedNote.value, 43.0f);
}

TEST(VoiceLegato, OffStrikesEveryNoteAnewOnPitch) {
    Voice voice = freshVoice();
    Patch patch;
    patch.legato = 0.0f;
    voice.noteOn(36, 1.0f);
    renderFrames(voice, patch, 24000);  // the control update picks up legato off
    ASSERT_EQ(voice.envelope.stage, kEnvelopeDecay);
    voice.noteOn(43, 1.0f);
    EXPECT_EQ(voice.envelope.stage, kEnvelopeAttack);
    EXPECT_EQ(voice.glidedNote.value, 43.0f);
    EXPECT_EQ(voice.pitchEnvelope.value, 1.0f);
    EXPECT_EQ(voice.samplesSinceNoteOn, 0.0);
}

TEST(VoiceRelease, LongNotesRingLongerThanStabs) {
    Patch patch;
    {
        Voice voice = freshVoice();
        voice.noteOn(36, 1.0f);
        renderFrames(voice, patch, 48000 * 3 / 2);
        voice.noteOff(36);
        EXPECT_EQ(voice.envelope.stage, kEnvelopeRelease);
        EXPECT_FLOAT_EQ(voice.envelope.coefficient, coefficientFor(0.2f));
    }
    {
        Voice voice = freshVoice();
        voice.noteOn(36, 1.0f);
        voice.noteOff(36);
        EXPECT_EQ(voice.envelope.stage, kEnvelopeRelease);
        EXPECT_FLOAT_EQ(voice.envelope.coefficient, coefficientFor(0.02f));
        // The release reaches silence: from at most 1 down to 0.0005 takes under 8 time constants.
        renderFrames(voice, patch, static_cast<int>(0.02f * kRate * 8));
        EXPECT_EQ(voice.envelope.stage, kEnvelopeIdle);
        const Rendered tail = renderFrames(voice, patch, 64);
        // Idle: the output is only what the DC blockers still let decay.
        EXPECT_LT(std::fabs(tail.left.back()), 1e-3f);
    }
    {
        // Half a second held: 0.5 x 0.18 + 0.02 s.
        Voice voice = freshVoice();
        voice.noteOn(36, 1.0f);
        renderFrames(voice, patch, 24000);
        voice.noteOff(36);
        EXPECT_FLOAT_EQ(voice.envelope.coefficient, coefficientFor(0.11f));
    }
}

TEST(VoiceWidth, SpreadZeroIsExactlyMonoAndOneDetunesByOnePointTwoHertz) {
    Patch patch;
    patch.spread = 0.0f;
    patch.arcAmount = 1.0f;
    patch.arcSpreadDepth = 1.0f;  // the arc cannot widen a spread of 0
    Voice mono = freshVoice();
    mono.noteOn(40, 1.0f);
    const Rendered out = renderFrames(mono, patch, 9600, 64, {0.0, 120.0f, 1});
    EXPECT_EQ(out.left, out.right);
    float peak = 0.0f;
    for (float s : out.left) peak = std::max(peak, std::fabs(s));
    EXPECT_GT(peak, 0.05f);

    patch.spread = 1.0f;
    patch.arcAmount = 0.0f;
    Voice wide = freshVoice();
    wide.noteOn(40, 1.0f);
    const Rendered stereo = renderFrames(wide, patch, 9600);
    EXPECT_FLOAT_EQ(wide.mainLevel, 1.0f / std::sqrt(2.0f));
    EXPECT_FLOAT_EQ(2.0f * wide.detuneHz, 1.2f);
    EXPECT_EQ(wide.width, 1.0f);
    EXPECT_NE(stereo.left, stereo.right);
}

TEST(VoiceDrive, FullDriveAtFullVelocityTurnsIntoFeedback) {
    Patch patch;
    patch.drive = 1.0f;
    Voice voice = freshVoice();
    voice.noteOn(36, 1.0f);
    renderFrames(voice, patch, 4800);  // the smoothed velocity settles at 1
    // d = 1: feedback 0.75 and a shaper drive of (1 - 0.094) x 0.7 = 0.6342.
    EXPECT_NEAR(voice.feedback, 0.75f, 1e-4f);
    EXPECT_NEAR(voice.shaper.b, 0.6342f * 0.25f, 1e-5f);
    EXPECT_NEAR(voice.shaper.k, std::pow(25.0f, 0.6342f), 1e-3f);

    patch.drive = 0.5f;  // d = 0.5: below the knee, no feedback
    renderFrames(voice, patch, 64);
    EXPECT_EQ(voice.feedback, 0.0f);
    EXPECT_NEAR(voice.shaper.b, 0.125f, 1e-5f);
}

TEST(HalfBandDecimation, TapsSumToOneWithTheCentreLargest) {
    const float* taps = halfBandTaps();
    double sum = 0.0;
    for (int i = 0; i < kHalfBandTaps; ++i) sum += taps[i];
    EXPECT_NEAR(sum, 1.0, 1e-6);
    for (int i = 0; i < kHalfBandTaps; ++i) {
        if (i != 15) {
            EXPECT_LT(taps[i], taps[15]) << i;
        }
        EXPECT_NEAR(taps[i], taps[30 - i], 1e-7f) << i;
    }
    EXPECT_NEAR(taps[15], 0.5f, 0.01f);
}

TEST(HalfBandDecimation, PassesDcAndLowToneRejectsTheUpperBand) {
    HalfBandDecimator dc;
    float out = 0.0f;
    for (int i = 0; i < 40; ++i) out = dc.process(1.0f, 1.0f);
    EXPECT_NEAR(out, 1.0f, 1e-5f);

    // A tone at 0.8 of the output rate's Nyquist folds onto the audio band unless removed.
    auto gainAt = [](double cyclesPerInput) {
        HalfBandDecimator d;
        double peak = 0.0;
        for (int i = 0; i < 400; ++i) {
            const float s1 = static_cast<float>(std::sin(2 * M_PI * cyclesPerInput * (2 * i)));
            const float s2 = static_cast<float>(std::sin(2 * M_PI * cyclesPerInput * (2 * i + 1)));
            const float y = d.process(s1, s2);
            if (i > 40) peak = std::max(peak, static_cast<double>(std::fabs(y)));
        }
        return peak;
    };
    EXPECT_NEAR(gainAt(0.05), 1.0, 0.01);  // 10 % of the output band
    EXPECT_LT(gainAt(0.40), 0.01);         // 80 % of the oversampled Nyquist: -40 dB or better
}

TEST(VoiceTransportRest, StoppedOrTempolessTransportLeavesMotionAndArcOut) {
    Patch patch;
    patch.motion = 1.0f;
    patch.motionDriveDepth = 1.0f;
    patch.motionLevelDepth = 1.0f;
    patch.arcAmount = 1.0f;
    Patch other = patch;
    for (int c = 0; c < kCurveCount; ++c)
        for (int i = 0; i < kCurvePoints; ++i) other.curves.points[c][i] = (i % 2) ? 1.0f : -1.0f;

    for (const VoiceTransport t : {VoiceTransport{3.0, 120.0f, 0}, VoiceTransport{3.0, 0.0f, 1},
                                   VoiceTransport{3.0, -60.0f, 1}}) {
        Voice a = freshVoice();
        Voice b = freshVoice();
        a.noteOn(36, 1.0f);
        b.noteOn(36, 1.0f);
        const Rendered outA = renderFrames(a, patch, 4800, 64, t);
        const Rendered outB = renderFrames(b, other, 4800, 64, t);
        for (const OnePole& offset : a.arcOffsets) EXPECT_EQ(offset.value, 0.0f);
        EXPECT_EQ(a.levelRamp.value, 1.0f);  // level lane at rest: full level
        EXPECT_EQ(outA.left, outB.left);     // the curves are not read at all
        for (float s : outA.left) ASSERT_TRUE(std::isfinite(s));
    }
    // Running, the same curves do move the sound.
    Voice a = freshVoice();
    Voice b = freshVoice();
    a.noteOn(36, 1.0f);
    b.noteOn(36, 1.0f);
    const Rendered outA = renderFrames(a, patch, 4800, 64, {0.0, 120.0f, 1});
    const Rendered outB = renderFrames(b, other, 4800, 64, {0.0, 120.0f, 1});
    EXPECT_NE(outA.left, outB.left);
}

// A patch that moves everything: motion on all three lanes, a drifting arc on all five.
Patch busyPatch() {
    Patch patch;
    patch.motion = 0.8f;
    patch.motionRate = 0.5f;
    patch.motionDriveDepth = 0.7f;
    patch.motionLevelDepth = 0.6f;
    patch.arcAmount = 0.9f;
    patch.arcBars = 1.0f;
    patch.arcDrift = 0.5f;
    patch.arcSpreadDepth = 1.0f;
    patch.spread = 0.6f;
    patch.pluck = 0.5f;
    patch.punch = 0.8f;
    patch.drive = 0.9f;
    for (int lane = 0; lane < kArcLanes; ++lane)
        for (int i = 0; i < kCurvePoints; ++i)
            patch.curves.points[kFirstArcCurve + lane][i] = std::sin(0.3f * i + lane);
    return patch;
}

// Plays a short line with overlaps and gaps, rendering in chunks of `block` (events split
// the chunks as the player and the offline render do).
Rendered playLine(const Patch& patch, int block) {
    struct Event {
        int frame;
        int note;  // negative: note-off of -note
    };
    const Event events[] = {{0, 36},     {3000, 43},  {5000, -36}, {9001, -43}, {9001, 48},
                            {12345, 31}, {12400, -48}, {20000, -31}, {20003, 40}, {26000, -40}};
    constexpr int kFrames = 30000;
    Voice voice = freshVoice();
    Rendered out{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    const double framesPerBeat = kRate * 60.0 / 133.0;
    std::size_t next = 0;
    for (int at = 0; at < kFrames;) {
        while (next < std::size(events) && events[next].frame <= at) {
            const Event& e = events[next++];
            if (e.note >= 0)
                voice.noteOn(e.note, 0.8f);
            else
                voice.noteOff(-e.note);
        }
        int n = std::min(block, kFrames - at);
        if (next < std::size(events)) n = std::min(n, events[next].frame - at);
        const VoiceTransport t{at / framesPerBeat, 133.0f, 1};
        voice.render(patch, patch.curves.data(), t, out.left.data() + at, out.right.data() + at, n);
        at += n;
    }
    return out;
}

TEST(VoiceBlocks, AnyChunkingGivesTheSameSamplesBitForBit) {
    const Patch patch = busyPatch();
    const Rendered whole = playLine(patch, 30000);
    const Rendered single = playLine(patch, 1);
    const Rendered odd = playLine(patch, 37);
    const Rendered player = playLine(patch, 64);
    EXPECT_EQ(whole.left, single.left);
    EXPECT_EQ(whole.right, single.right);
    EXPECT_EQ(whole.left, odd.left);
    EXPECT_EQ(whole.left, player.left);
    EXPECT_EQ(whole.right, player.right);
    float peak = 0.0f;
    for (float s : whole.left) peak = std::max(peak, std::fabs(s));
    EXPECT_GT(peak, 0.05f);
}

TEST(VoiceBlocks, ZeroOrNegativeFramesWriteNothing) {
    Voice voice = freshVoice();
    voice.noteOn(36, 1.0f);
    const Patch patch;
    float left[4] = {7, 7, 7, 7};
    float right[4] = {7, 7, 7, 7};
    voice.render(patch, patch.curves.data(), {}, left, right, 0);
    voice.render(patch, patch.curves.data(), {}, left, right, -5);
    EXPECT_EQ(left[0], 7.0f);
    EXPECT_EQ(right[3], 7.0f);
    EXPECT_EQ(voice.controlCountdown, 0);
}

TEST(VoiceSampleRate, RateChangeUpdatesControlsAtTheNextSampleAndBadRatesAreIgnored) {
    Voice voice = freshVoice();
    Patch patch;
    voice.noteOn(36, 1.0f);
    renderFrames(voice, patch, 10);
    EXPECT_EQ(voice.controlCountdown, 54);
    voice.setSampleRate(44100.0f);
    EXPECT_EQ(voice.controlCountdown, 0);
    EXPECT_EQ(voice.sampleRate, 44100.0f);
    EXPECT_DOUBLE_EQ(voice.halfPeriod, 1.0 / 88200.0);
    EXPECT_EQ(voice.levelRamp.length, 64);
    EXPECT_EQ(voice.weightRamp.length, 220);
    voice.setSampleRate(0.0f);
    voice.setSampleRate(-48000.0f);
    voice.setSampleRate(std::nanf(""));
    EXPECT_EQ(voice.sampleRate, 44100.0f);
    const Rendered out = renderFrames(voice, patch, 256);
    for (float s : out.left) ASSERT_TRUE(std::isfinite(s));
}

}  // namespace
}  // namespace tarn
