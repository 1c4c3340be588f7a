// The bass voice's output over the whole parameter space: finite and bounded, free of subnormal state, and anti-aliased.
#include "engine/voice.h"

#include "engine/patch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tarn {
namespace {

constexpr float kRate = 48000.0f;

// Largest sample magnitude the sweep may produce. Shaped paths are normalised to about 1 and
// weighted by up to 0.75, the sub adds at most its weight, and the most resonant low-pass
// (Q 3.7) and the DC blocker's overshoot lift that somewhat: the sweep peaks near 1.1.
constexpr float kPeakBound = 2.0f;

TEST(VoiceSweep, RandomPatchesAndWildCurvesStayFiniteAndBounded) {
    std::mt19937 random(20261206);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float wild[] = {3.0f, -7.5f, 1e30f, -1e30f, std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    float overallPeak = 0.0f;
    for (int trial = 0; trial < 60; ++trial) {
        Patch patch;
        for (const PatchParam& row : patchParams) {
            float value = row.min + (row.max - row.min) * unit(random);
            if (trial % 4 == 0) value = unit(random) < 0.5f ? row.min : row.max;  // the corners
            if (row.stepped) value = std::round(value);
            patch.*row.field = value;
        }
        for (auto& curve : patch.curves.points)
            for (float& point : curve) {
                const float r = unit(random);
                point = r < 0.1f ? wild[random() % std::size(wild)] : (r * 6.0f - 3.0f);
            }
        Voice voice;
        voice.setSampleRate(trial % 3 == 0 ? 44100.0f : kRate);
        std::vector<float> left(64), right(64);
        const float tempo = 60.0f + 120.0f * unit(random);
        const double framesPerBeat = kRate * 60.0 / tempo;
        int note = 24;
        for (int block = 0; block < 300; ++block) {  // 0.4 s
            if (block % 25 == 0) {
                note = 24 + static_cast<int>(random() % 72);
                voice.noteOn(note, unit(random));
            }
            if (block % 25 == 20) voice.noteOff(note);
            const VoiceTransport t{block * 64 / framesPerBeat, tempo, 1};
            voice.render(patch, patch.curves.data(), t, left.data(), right.data(), 64);
            for (int i = 0; i < 64; ++i) {
                ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i]))
                    << "trial " << trial << " block " << block;
                overallPeak = std::max({overallPeak, std::fabs(left[i]), std::fabs(right[i])});
            }
        }
    }
    EXPECT_LT(overallPeak, kPeakBound);
    EXPECT_GT(overallPeak, 0.1f);
    RecordProperty("peak", std::to_string(overallPeak));
    std::printf("sweep peak: %.3f\n", static_cast<double>(overallPeak));
}

bool subnormal(float x) { return std::fpclassify(x) == FP_SUBNORMAL; }

// Every floating-point state that evolves per sample, widened to double (a float state counts
// as subnormal when it is non-zero and below the smallest normal float).
std::vector<std::pair<const char*, double>> evolvingState(const Voice& v) {
    std::vector<std::pair<const char*, double>> out;
    auto add = [&](const char* name, auto value) { out.emplace_back(name, static_cast<double>(value)); };
    add("subPhase", v.subPhase);
    add("oscA.y1", v.oscA.y1);
    add("oscA.y2", v.oscA.y2);
    add("oscB.y1", v.oscB.y1);
    add("shaperA.x1", v.shaperA.x1);
    add("shaperA.f1", v.shaperA.f1);
    add("lowPassA.ic1", v.lowPassA.ic1);
    add("lowPassA.ic2", v.lowPassA.ic2);
    add("lowPassB.ic1", v.lowPassB.ic1);
    add("lowPassB.ic2", v.lowPassB.ic2);
    add("highPassA.ic1", v.highPassA.ic1);
    add("highPassA.ic2", v.highPassA.ic2);
    add("highPassB.ic1", v.highPassB.ic1);
    add("highPassB.ic2", v.highPassB.ic2);
    add("envelope", v.envelope.value);
    add("glidedNote", v.glidedNote.value);
    add("pitchEnvelope", v.pitchEnvelope.value);
    add("velocity", v.smoothedVelocity.value);
    for (const OnePole& offset : v.arcOffsets) add("arcOffset", offset.value);
    add("transient", v.transient.value);
    add("dcLeft.in", v.dcLeft.previousIn);
    add("dcLeft.out", v.dcLeft.previousOut);
    add("dcRight.in", v.dcRight.previousIn);
    add("dcRight.out", v.dcRight.previousOut);
    add("weight", v.weightRamp.value);
    add("pluck", v.pluckRamp.value);
    add("level", v.levelRamp.value);
    for (float s : v.decimatorA.history) add("decimatorA", s);
    for (float s : v.decimatorB.history) add("decimatorB", s);
    return out;
}

TEST(VoiceSubnormals, ThirtySecondsHeldAtShapeZeroLeavesNoSubnormalState) {
    Patch patch;
    patch.shape = 0.0f;  // sustain 0: the held note decays away into silence
    patch.pluck = 1.0f;  // and the transient falls to 0
    Voice voice;
    voice.setSampleRate(kRate);
    voice.noteOn(36, 1.0f);
    std::vector<float> left(64), right(64);
    for (int block = 0; block < 30 * 48000 / 64; ++block) {
        voice.render(patch, patch.curves.data(), {}, left.data(), right.data(), 64);
        for (int i = 0; i < 64; ++i) {
            ASSERT_FALSE(subnormal(left[i]) || subnormal(right[i])) << "block " << block;
        }
    }
    EXPECT_EQ(voice.envelope.value, 0.0f);  // flushed, not creeping down through subnormals
    EXPECT_EQ(voice.transient.value, 0.0f);
    for (const auto& [name, value] : evolvingState(voice)) {
        EXPECT_FALSE(std::fpclassify(value) == FP_SUBNORMAL ||
                     (value != 0.0 && std::fabs(value) < std::numeric_limits<float>::min()))
            << name << " = " << value;
    }
}

// Energy of the bins below `belowHz` (an alias can only land there: every harmonic of the
// note lies at or above it) relative to the total, in dB. A Hann-windowed DFT of the bins
// of interest; the total comes from Parseval on the windowed signal.
double aliasBelowDb(const std::vector<float>& x, double belowHz, double rate) {
    const std::size_t n = x.size();
    std::vector<double> w(n);
    double total = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        w[i] = x[i] * (0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(i) / static_cast<double>(n)));
        total += w[i] * w[i];
    }
    total *= static_cast<double>(n);  // sum over all bins of |X_k|^2
    double below = 0.0;
    const int lastBin = static_cast<int>(belowHz / rate * static_cast<double>(n));
    for (int k = 1; k < lastBin; ++k) {
        double re = 0.0, im = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double angle = 2 * M_PI * k * static_cast<double>(i) / static_cast<double>(n);
            re += w[i] * std::cos(angle);
            im -= w[i] * std::sin(angle);
        }
        below += 2.0 * (re * re + im * im);  // and its mirror bin
    }
    return 10.0 * std::log10(below / total + 1e-30);
}

TEST(VoiceAntiAliasing, HighNoteAtFullDriveFoldsLittleBelowItsFundamental) {
    Patch patch;
    patch.drive = 1.0f;
    patch.tone = 1.0f;    // low-pass fully open: nothing hides the aliases
    patch.weight = 0.0f;  // no sub: everything left is the shaped paths
    patch.punch = 0.0f;
    patch.shape = 1.0f;
    Voice voice;
    voice.setSampleRate(kRate);
    const int note = 96;  // C7, 2093 Hz: eleven harmonics below Nyquist, the rest fold
    voice.noteOn(note, 1.0f);
    constexpr int kSkip = 24000;
    constexpr int kLength = 4096;
    std::vector<float> left(kSkip + kLength), right(kSkip + kLength);
    voice.render(patch, patch.curves.data(), {}, left.data(), right.data(), kSkip + kLength);
    ASSERT_NEAR(voice.feedback, 0.75f, 1e-3f);
    const std::vector<float> settled(left.begin() + kSkip, left.end());
    const double fundamental = 440.0 * std::pow(2.0, (note - 69) / 12.0);
    // Stay a few bins clear of the fundamental's own window skirt.
    const double db = aliasBelowDb(settled, fundamental - 150.0, kRate);
    RecordProperty("alias_below_fundamental_db", std::to_string(db));
    std::printf("energy folded below the fundamental: %.1f dB\n", db);
    EXPECT_LT(db, -60.0);
}

}  // namespace
}  // namespace tarn
