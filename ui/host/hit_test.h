// What a press at a point of the borderless window means: a resize border, the drag band or the view.
#pragma once

#include <cstdint>

namespace tarn::ui {

enum class WindowHit { client, caption, left, right, top, bottom, topLeft, topRight, bottomLeft, bottomRight };

struct HitTestInput {
    int x = 0, y = 0;           // the point, in window pixels
    int width = 0, height = 0;  // the window's size in pixels
    float scale = 1.0f;         // the display scale
    float captionHeight = 36.0f;  // logical pixels
    bool restored = true;       // neither maximised nor fullscreen: only then are there resize borders
    bool uiWantsPointer = false;  // an item is hovered or active, or a popup is open
};

// Resize borders of 6 x scale on every edge (corners before edges), then the caption band of
// captionHeight x scale (the view's while it wants the pointer), then the view.
WindowHit classifyHit(const HitTestInput& in);

// Recognises the second of two presses on the caption band that are close in time and place.
// The system sends no button events for presses on a draggable area, so the window counts them
// itself, as they are hit tested.
class CaptionClicks {
public:
    // A press on the caption band at `ms`; true when it completes a double click (the next
    // press then starts a new pair).
    bool press(std::uint32_t ms, int x, int y, std::uint32_t maxIntervalMs, int radius);
    // A press anywhere else breaks the pair.
    void reset() { armed_ = false; }

private:
    bool armed_ = false;
    std::uint32_t lastMs_ = 0;
    int lastX_ = 0, lastY_ = 0;
};

}  // namespace tarn::ui
