// The interfaces between a window host and the view it shows, and the record of one frame.
#pragma once

namespace tarn::ui {

// A rectangle in pixels: top-left corner, width and height.
struct Rect {
    float x = 0.0f;
    float y = 0.0f;
    float w = 0.0f;
    float h = 0.0f;
};

// What the caption buttons and the application ask of the window that shows them.
class WindowControls {
public:
    virtual ~WindowControls() = default;
    virtual void minimize() = 0;
    virtual void toggleMaximize() = 0;
    virtual void toggleFullscreen() = 0;
    virtual void close() = 0;
    virtual bool isMaximized() const = 0;
    virtual bool isFullscreen() const = 0;
    // Asks for a new interface scale; the window applies it before its next frame.
    virtual void setScale(float scale) = 0;
};

// What a host hands to View::draw each frame.
struct FrameInfo {
    double time = 0.0;                         // seconds since the host's clock started
    float dt = 0.0f;                           // seconds since the previous frame, 0 on the first
    Rect window;                               // the whole drawing surface, from (0, 0)
    Rect content;                              // the area the view is to fill
    float displayScale = 1.0f;                 // the UI context's display scale
    WindowControls* windowControls = nullptr;  // null when there is no window (offscreen)
};

// Something a host can show: it draws one frame of its interface with the toolkit.
class View {
public:
    virtual ~View() = default;
    virtual void draw(const FrameInfo& frame) = 0;
};

}  // namespace tarn::ui
