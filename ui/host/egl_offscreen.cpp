// A headless OpenGL 3.3 core context on Mesa's software rasteriser, with an RGBA8 framebuffer to draw into.
#include "ui/host/egl_offscreen.h"

#include "ui/host/clear_color.h"
#include "ui/host/host_messages.h"

#define EGL_EGLEXT_PROTOTYPES
#include <EGL/egl.h>
#include <EGL/eglext.h>
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace tarn::ui {
namespace {

// The software device first: rendering must not depend on whatever GPU the machine has, and
// a screenshot must look the same on every machine. Surfaceless Mesa is the fallback for
// EGL stacks that list no devices.
EGLDisplay softwareDisplay() {
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    auto queryDeviceString =
        reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
    auto platformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!platformDisplay) return EGL_NO_DISPLAY;
    if (queryDevices && queryDeviceString) {
        EGLDeviceEXT devices[16];
        EGLint count = 0;
        if (queryDevices(16, devices, &count)) {
            for (EGLint i = 0; i < count; ++i) {
                const char* extensions = queryDeviceString(devices[i], EGL_EXTENSIONS);
                if (extensions && std::strstr(extensions, "EGL_MESA_device_software"))
                    return platformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
            }
        }
    }
    return platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

}  // namespace

EglOffscreen::EglOffscreen(int width, int height) : width_(width), height_(height) {
    previousDisplay_ = eglGetCurrentDisplay();
    previousContext_ = eglGetCurrentContext();
    previousDraw_ = eglGetCurrentSurface(EGL_DRAW);
    previousRead_ = eglGetCurrentSurface(EGL_READ);

    display_ = softwareDisplay();
    EGLint major = 0, minor = 0;
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, &major, &minor)) {
        release();
        throw std::runtime_error(host_messages::kNoOffscreenDevice);
    }
    initialized_ = true;
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    if (!eglBindAPI(EGL_OPENGL_API) ||
        (context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes)) == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
        release();
        throw std::runtime_error(host_messages::kNoOffscreenDevice);
    }

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (width <= 0 || height <= 0 || width > maxSize || height > maxSize) {
        release();
        throw std::runtime_error(host_messages::kNoRenderTarget);
    }
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
    if (glGetError() != GL_NO_ERROR || glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        release();
        throw std::runtime_error(host_messages::kNoRenderTarget);
    }
}

EglOffscreen::~EglOffscreen() { release(); }

void EglOffscreen::release() noexcept {
    if (context_ && eglGetCurrentContext() == context_) {
        if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
        if (texture_) glDeleteTextures(1, &texture_);
    }
    framebuffer_ = 0;
    texture_ = 0;
    // The display is not terminated: EGL hands every caller the same display for the same
    // device, so terminating it would pull the rug from under any other offscreen target alive
    // at the time (and Mesa unloads its driver, which hides its allocations from leak checks).
    if (display_ != EGL_NO_DISPLAY && initialized_) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context_) eglDestroyContext(display_, context_);
    }
    context_ = nullptr;
    display_ = nullptr;
    initialized_ = false;
    // Whoever had a context current before (a window's) gets it back.
    if (previousContext_ != EGL_NO_CONTEXT && previousDisplay_ != EGL_NO_DISPLAY)
        eglMakeCurrent(previousDisplay_, previousDraw_, previousRead_, previousContext_);
    previousContext_ = nullptr;
}

void EglOffscreen::bindAndClear() {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width_, height_);
    glClearColor(kClearColor[0], kClearColor[1], kClearColor[2], kClearColor[3]);
    glClear(GL_COLOR_BUFFER_BIT);
}

std::vector<std::uint8_t> EglOffscreen::readRgba() {
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<std::size_t>(height_));
    glFinish();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    if (glGetError() != GL_NO_ERROR) throw std::runtime_error(host_messages::kNoReadBack);
    // GL's rows run bottom-up; images are top-down.
    std::vector<std::uint8_t> rgba(bottomUp.size());
    for (int y = 0; y < height_; ++y)
        std::memcpy(&rgba[static_cast<std::size_t>(y) * rowBytes],
                    &bottomUp[static_cast<std::size_t>(height_ - 1 - y) * rowBytes], rowBytes);
    return rgba;
}

}  // namespace tarn::ui
