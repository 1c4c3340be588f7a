// Showing one view in a borderless desktop window and running its loop until the window closes.
#pragma once

#include "ui/view.h"

#include <cstdint>
#include <span>
#include <string>

namespace tarn::ui {

struct StandaloneOptions {
    std::string title = "Tarn";  // UTF-8
    int width = 960;             // initial size in logical pixels
    int height = 720;
    int minWidth = 480;          // smallest size in logical pixels
    int minHeight = 360;
    float captionHeight = 36.0f;  // the drag band at the top, logical pixels
    float userScale = 1.0f;       // multiplied with the display's own scale
    std::span<const std::uint8_t> iconPng;  // PNG bytes of the window icon; empty for none
    bool framed = true;                     // light glow and the larger inset in every frame
};

// Creates the window (OpenGL, borderless, resizable), its view host and UI context, and runs
// the loop until the window is closed, the program is asked to quit (SDL_QUIT, SIGINT or
// SIGTERM), or the view closes it. Returns 0. Throws std::runtime_error when the window or its
// OpenGL device cannot be made; without a display SDL's offscreen and dummy drivers are refused
// unless SDL_VIDEODRIVER names them. The view outlives the window.
int runStandalone(View& view, const StandaloneOptions& options);

}  // namespace tarn::ui
