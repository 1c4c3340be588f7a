// An RGBA picture as rendered offscreen: top-down rows, no padding, opaque.
#pragma once

#include <cstdint>
#include <vector>

namespace tarn::ui {

struct Image {
    int width = 0;   // pixels
    int height = 0;  // pixels
    std::vector<std::uint8_t> rgba;  // width x height x 4 bytes, every alpha 255
};

}  // namespace tarn::ui
