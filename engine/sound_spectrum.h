// The spectrum of one held note of a sound, and the level of a frequency band read from it.
#pragma once

#include "engine/patch.h"
#include "engine/voice.h"

namespace tarn {

inline constexpr int kSpectrumBins = 2048;
inline constexpr float kSpectrumFloorDb = -120.0f;

struct Spectrum {
    float levelDb[kSpectrumBins];  // level of bin k, floor -120 dB
    float hzPerBin;                // sample rate / 4096: bin k covers k x hzPerBin Hz
};

// Plays `note` through a fresh voice for 8192 frames with punch, pluck and the motion lanes
// neutralised (the arc stays, at the caller's transport), then analyses the settled second
// half: a Hann-windowed 4096-point transform in dB, 0 dB for a full-scale sine.
Spectrum renderSpectrum(const Patch& patch, const float* curves, const VoiceTransport& t, int note, float rate);

// The analysis half of renderSpectrum: 4096 mono samples, Hann-windowed, to levels in dB.
Spectrum spectrumOfSamples(const float* samples, float rate);

// The level of the band lowHz..highHz: the loudest bin in it, or, for a band narrower than
// one bin, the level interpolated at its middle.
float spectrumLevel(const Spectrum& spectrum, float lowHz, float highHz);

}  // namespace tarn
