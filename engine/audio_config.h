// Rate, tempo and block size shared by the note conversion, offline render, player and output.
#pragma once

#include <cstdint>

namespace tarn {

struct AudioConfig {
    float sampleRate = 48000.0f;  // frames per second; the device's actual rate once open
    float tempo = 120.0f;         // beats per minute
    std::int32_t blockFrames = 64;  // frames per voice block
};

}  // namespace tarn
