// A headless OpenGL 3.3 core context on Mesa's software rasteriser, with an RGBA8 framebuffer to draw into.
#pragma once

#include <cstdint>
#include <vector>

namespace tarn::ui {

// Owns the EGL display connection, the context and the framebuffer object; every object is
// released by the destructor, also when construction fails half way (the constructor throws
// std::runtime_error with the host's texts and cleans up what it made).
class EglOffscreen {
public:
    EglOffscreen(int width, int height);
    ~EglOffscreen();
    EglOffscreen(const EglOffscreen&) = delete;
    EglOffscreen& operator=(const EglOffscreen&) = delete;

    // Binds the framebuffer and clears it to the host's clear colour.
    void bindAndClear();

    // Reads the framebuffer as top-down RGBA rows; throws when the read fails.
    std::vector<std::uint8_t> readRgba();

    int width() const { return width_; }
    int height() const { return height_; }

private:
    void release() noexcept;

    int width_ = 0;
    int height_ = 0;
    void* display_ = nullptr;   // EGLDisplay
    void* context_ = nullptr;   // EGLContext
    void* previousDisplay_ = nullptr;
    void* previousContext_ = nullptr;
    void* previousDraw_ = nullptr;
    void* previousRead_ = nullptr;
    bool initialized_ = false;
    unsigned framebuffer_ = 0;
    unsigned texture_ = 0;
};

}  // namespace tarn::ui
