// The summaries the waveform panel draws, rebuilt over the render buffers after every render.
#pragma once

#include "ui/waveform.h"

#include <vector>

namespace tarn {

// Peak summaries viewing the two buffers (not copying them) at the given rate: the buffers must
// outlive the summaries, and the summaries are rebuilt whenever the buffers change.
void buildStereoPeaks(ui::WaveformPeaks& left, ui::WaveformPeaks& right, const std::vector<float>& leftSamples,
                      const std::vector<float>& rightSamples, float sampleRate);

}  // namespace tarn
