// The motion tab's state: which lane is drawn and whether the cycle edge is being dragged.
#pragma once

#include <cstdint>

namespace tarn {

struct MotionPanelState {
    std::int32_t lane = 0;        // 0 Tone, 1 Drive, 2 Level
    std::int32_t lastPoint = -1;  // the curve point written last in this drag; -1 none
    bool draggingEdge = false;    // the current drag moves the cycle edge
    // Beats the area spans while the edge is dragged. Held from the drag's start: a span that
    // followed the length being set would rescale under a still mouse and run the value away.
    float heldSpan = 4.0f;
};

}  // namespace tarn
