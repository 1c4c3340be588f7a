// Drawing a view without a window into an image: the screenshot mode's renderer.
#pragma once

#include "ui/host/image.h"
#include "ui/view.h"

#include <functional>

namespace tarn::ui {

struct OffscreenOptions {
    int width = 900;   // logical size; the image is width x scale by height x scale pixels
    int height = 950;
    float scale = 1.0f;
    int frames = 3;    // below 1 renders one
    float frameDelta = 1.0f / 60.0f;  // seconds per frame
    bool framed = true;
    std::function<void(int)> beforeFrame;  // called with the frame index; may be empty
};

// Renders the frames on Mesa's software rasteriser and returns the last one, top-down and
// opaque. Throws std::runtime_error ("tarn-ui: ...") on failure, with everything released.
Image renderOffscreen(View& view, const OffscreenOptions& options);

}  // namespace tarn::ui
