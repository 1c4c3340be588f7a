// The blocks' share of the height under the header, each giving way in its turn.
#include "app/block_heights.h"

#include <algorithm>

namespace tarn {
namespace {

// Logical px.
constexpr float kVoice = 150.0f;
constexpr float kWaveform = 150.0f;
constexpr float kRenderStrip = 24.0f;
constexpr float kGap = 8.0f;
// A hundredth of a pixel is rounding: a window of exactly the program's size keeps every block whole.
constexpr float kRounding = 0.01f;

}  // namespace

BlockHeights shareHeight(float room, float s) {
    BlockHeights h;
    h.gap = kGap * s;
    h.renderStrip = kRenderStrip * s;
    h.voiceStrip = kVoice * s;
    h.waveform = kWaveform * s;
    // Taken from the bottom up in this order, so that a tall window's canvas is exactly what is left.
    const auto canvasLeft = [&] { return room - h.voiceStrip - h.gap - h.renderStrip - h.gap - h.waveform - h.gap; };
    h.canvas = canvasLeft();
    if (h.canvas + kRounding < kCanvasRoomy * s) {
        h.waveform = std::clamp(h.waveform - (kCanvasRoomy * s - h.canvas), kWaveformSlim * s, kWaveform * s);
        h.canvas = canvasLeft();
    }
    if (h.canvas < kCanvasLeast * s) {
        h.voiceStrip = std::clamp(h.voiceStrip - (kCanvasLeast * s - h.canvas), kVoiceLeast * s, kVoice * s);
        h.canvas = std::max(canvasLeft(), kCanvasLeast * s);
    }
    if (canvasLeft() + kRounding < kCanvasLeast * s) {
        // The page scrolls anyway: the canvas and the voice strip get their room back, so that no tab
        // scrolls inside the page and the wheel moves the page wherever it is turned.
        h.scrolls = true;
        h.canvas = kCanvasRoomy * s;
        h.voiceStrip = kVoice * s;
    }
    h.page = h.canvas + h.gap + h.renderStrip + h.gap + h.waveform + h.gap + h.voiceStrip;
    return h;
}

}  // namespace tarn
