// The phrase arc tab's state, the lane colours every panel shares, and the curve outline helper.
#pragma once

#include "engine/patch.h"

#include <imgui.h>

#include <array>
#include <cstdint>
#include <vector>

namespace tarn {

struct ArcPanelState {
    std::int32_t lane = 0;       // the selected lane: Shape, Tone, Drive, Motion, Spread
    std::int32_t lastPoint = -1; // the curve point written last in this drag; -1 while not drawing
    float firstDrawn = 2.0f;     // leftmost phrase fraction touched in this drag; 2 = none
    double seekPhase = 0.0;      // in phrases: where the play position goes when the panel asks
};

// The shades of one arc lane's colour, 0xAARRGGBB.
struct LaneColorSet {
    std::uint32_t main;
    std::uint32_t light;
    std::uint32_t dark;
    std::uint32_t fill;   // alpha 0x33
    std::uint32_t faint;  // alpha 0x1f
};

// One set per arc lane in lane order; set 0 is "green", set 1 "blue" in the panels' wording.
extern const std::array<LaneColorSet, kArcLanes> laneColors;

// 65 points of a 64-point curve over a rectangle, each value clamped to -1..1; the last point
// repeats the first at the right edge, so the outline closes the loop.
std::vector<ImVec2> curvePoints(const float* curve, ImVec2 topLeft, ImVec2 size);

}  // namespace tarn
