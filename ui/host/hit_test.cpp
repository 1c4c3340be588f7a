// What a press at a point of the borderless window means: a resize border, the drag band or the view.
#include "ui/host/hit_test.h"

#include <cmath>
#include <cstdlib>

namespace tarn::ui {

WindowHit classifyHit(const HitTestInput& in) {
    if (in.restored) {
        const long b = std::lroundf(in.scale * 6.0f);
        const bool left = in.x < b;
        const bool right = in.x >= in.width - b;
        const bool top = in.y < b;
        const bool bottom = in.y >= in.height - b;
        if (top && left) return WindowHit::topLeft;
        if (top && right) return WindowHit::topRight;
        if (bottom && left) return WindowHit::bottomLeft;
        if (bottom && right) return WindowHit::bottomRight;
        if (left) return WindowHit::left;
        if (right) return WindowHit::right;
        if (top) return WindowHit::top;
        if (bottom) return WindowHit::bottom;
    }
    if (in.y < std::lroundf(in.scale * in.captionHeight)) {
        return in.uiWantsPointer ? WindowHit::client : WindowHit::caption;
    }
    return WindowHit::client;
}

bool CaptionClicks::press(std::uint32_t ms, int x, int y, std::uint32_t maxIntervalMs, int radius) {
    // Unsigned difference: right across the wrap of the millisecond counter.
    const bool pair = armed_ && ms - lastMs_ <= maxIntervalMs && std::abs(x - lastX_) <= radius &&
                      std::abs(y - lastY_) <= radius;
    armed_ = !pair;
    lastMs_ = ms;
    lastX_ = x;
    lastY_ = y;
    return pair;
}

}  // namespace tarn::ui
