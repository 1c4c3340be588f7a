// Two channels of rendered float samples, as the offline render returns them and WAV export takes them.
#pragma once

#include <vector>

namespace tarn {

struct StereoAudio {
    std::vector<float> left;
    std::vector<float> right;
};

}  // namespace tarn
