// The spectrum of a held note and the band-level readout.
#include "engine/sound_spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarn {
namespace {

TEST(SpectrumLevels, FullScaleSineOnABinCentreReadsZeroDbAndSilenceTheFloor) {
    std::vector<float> sine(4096);
    for (int i = 0; i < 4096; ++i) sine[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(2 * M_PI * 100 * i / 4096.0));
    const Spectrum s = spectrumOfSamples(sine.data(), 48000.0f);
    EXPECT_NEAR(s.levelDb[100], 0.0f, 0.01f);
    EXPECT_NEAR(s.levelDb[99], -6.02f, 0.05f);  // Hann's neighbouring bins: half amplitude
    EXPECT_LT(s.levelDb[150], -100.0f);

    const std::vector<float> zeros(4096, 0.0f);
    const Spectrum silence = spectrumOfSamples(zeros.data(), 48000.0f);
    for (float level : silence.levelDb) ASSERT_EQ(level, -120.0f);
    // A sine of 1e-7 (-140 dB) is below the floor too.
    std::vector<float> tiny = sine;
    for (float& v : tiny) v *= 1e-7f;
    EXPECT_EQ(spectrumOfSamples(tiny.data(), 48000.0f).levelDb[100], -120.0f);
}

TEST(SpectrumRender, HeldNoteShowsItsFundamentalAndHzPerBin) {
    Patch patch;
    patch.weight = 0.0f;  // no sub: the fundamental comes from the shaped paths
    const Spectrum s = renderSpectrum(patch, patch.curves.data(), {0.0, 120.0f, 1}, 45, 48000.0f);
    EXPECT_EQ(s.hzPerBin, 11.71875f);
    const int fundamentalBin = static_cast<int>(std::lround(110.0 / 11.71875));
    const float atFundamental = spectrumLevel(s, 100.0f, 120.0f);
    EXPECT_GT(atFundamental, -30.0f);
    EXPECT_GT(atFundamental, s.levelDb[fundamentalBin / 2] + 30.0f);  // an octave below is quiet
    for (float level : s.levelDb) {
        ASSERT_TRUE(std::isfinite(level));
        ASSERT_GE(level, -120.0f);
    }

    EXPECT_FLOAT_EQ(renderSpectrum(patch, patch.curves.data(), {}, 45, 44100.0f).hzPerBin, 44100.0f / 4096.0f);
}

TEST(SpectrumRender, PunchPluckAndMotionLanesAreNeutralisedButTheArcStays) {
    Patch plain;
    plain.motion = 0.7f;
    plain.motionDriveDepth = 1.0f;
    plain.motionLevelDepth = 1.0f;
    plain.arcAmount = 1.0f;
    plain.arcDrift = 0.0f;
    for (int lane = 0; lane < kMotionLanes; ++lane)
        for (float& point : plain.curves.points[lane]) point = lane == 0 ? 0.0f : 1.0f;  // at rest
    Patch busy = plain;
    busy.punch = 1.0f;
    busy.pluck = 1.0f;
    for (int lane = 0; lane < kMotionLanes; ++lane)
        for (int i = 0; i < kCurvePoints; ++i) busy.curves.points[lane][i] = (i % 3) - 1.0f;
    const VoiceTransport t{5.0, 120.0f, 1};
    const Spectrum a = renderSpectrum(plain, plain.curves.data(), t, 40, 48000.0f);
    const Spectrum b = renderSpectrum(busy, busy.curves.data(), t, 40, 48000.0f);
    EXPECT_EQ(std::vector<float>(a.levelDb, a.levelDb + kSpectrumBins),
              std::vector<float>(b.levelDb, b.levelDb + kSpectrumBins));

    // A low arc drive lane does change the picture.
    Patch arced = plain;
    for (float& point : arced.curves.points[kFirstArcCurve + 2]) point = -1.0f;
    const Spectrum c = renderSpectrum(arced, arced.curves.data(), t, 40, 48000.0f);
    EXPECT_NE(std::vector<float>(a.levelDb, a.levelDb + kSpectrumBins),
              std::vector<float>(c.levelDb, c.levelDb + kSpectrumBins));
}

Spectrum ramp() {
    Spectrum s;
    for (int k = 0; k < kSpectrumBins; ++k) s.levelDb[k] = -120.0f + 0.05f * static_cast<float>(k % 400);
    s.levelDb[10] = -20.0f;
    s.levelDb[11] = -40.0f;
    s.levelDb[2047] = -33.0f;
    s.hzPerBin = 10.0f;
    return s;
}

TEST(SpectrumBandLevel, NarrowBandsInterpolateWideBandsTakeTheLoudestBin) {
    const Spectrum s = ramp();
    // Narrower than one bin: interpolated at the middle, between its neighbours.
    EXPECT_FLOAT_EQ(spectrumLevel(s, 102.0f, 108.0f), -20.0f + (-40.0f + 20.0f) * 0.5f);
    for (float lo = 95.0f; lo < 115.0f; lo += 0.7f) {
        const float level = spectrumLevel(s, lo, lo + 5.0f);
        const int i = static_cast<int>((lo + 2.5f) / 10.0f);
        EXPECT_GE(level, std::min(s.levelDb[i], s.levelDb[i + 1]) - 1e-4f) << lo;
        EXPECT_LE(level, std::max(s.levelDb[i], s.levelDb[i + 1]) + 1e-4f) << lo;
    }
    // One bin or wider: the loudest bin from trunc(lo) to ceil(hi), inclusive.
    EXPECT_EQ(spectrumLevel(s, 50.0f, 100.0f), -20.0f);
    EXPECT_EQ(spectrumLevel(s, 111.0f, 130.0f), -40.0f);  // bins 11..13
    EXPECT_EQ(spectrumLevel(s, 0.0f, 20000.0f), -20.0f);
}

TEST(SpectrumBandLevel, BandsBeyondTheLastBinAndDegenerateInputs) {
    const Spectrum s = ramp();
    // Above the last bin: a narrow band reads bin 2047, a wide one finds no bin.
    EXPECT_EQ(spectrumLevel(s, 30000.0f, 30005.0f), -33.0f);
    EXPECT_EQ(spectrumLevel(s, 30000.0f, 30050.0f), -120.0f);
    // Below 0 Hz the narrow read clamps at bin 0.
    EXPECT_GE(spectrumLevel(s, -8.0f, -5.0f), -120.0f);
    Spectrum zero = s;
    zero.hzPerBin = 0.0f;
    EXPECT_EQ(spectrumLevel(zero, 100.0f, 200.0f), -120.0f);
    EXPECT_EQ(spectrumLevel(s, std::nanf(""), 200.0f), -120.0f);
    EXPECT_EQ(spectrumLevel(s, 0.0f, INFINITY), -120.0f);
}

}  // namespace
}  // namespace tarn
