// Waveform drawing: per-sample and per-column paths, modes, ranges, and a long render at any zoom.
#include "ui/waveform.h"

#include "tests/ui/frame_input.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;
using testing::runFrame;

std::vector<float> sine(size_t n) {
    std::vector<float> s(n);
    for (size_t i = 0; i < n; ++i) s[i] = 0.8f * std::sin(static_cast<float>(i) * 0.01f);
    return s;
}

PlotAxis secondsAxis(float from, float to, float left, float right) {
    return PlotAxis{PlotAxisKind::linear, from, to, left, right};
}

// A frame whose clip rectangle does not cut into the test rectangles (the test window's own
// clip starts a few pixels in from its padding).
template <class Body>
void unclippedFrame(UiContext& ui, Body&& body) {
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        list->PushClipRect(ImVec2(0, 0), ImVec2(300000, 2000), false);
        body(list);
        list->PopClipRect();
    });
}

struct Bounds {
    int vertices = 0;
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
};

template <class Draw>
Bounds boundsOf(ImDrawList* list, Draw&& draw) {
    const int start = list->VtxBuffer.Size;
    draw();
    Bounds b;
    b.vertices = list->VtxBuffer.Size - start;
    for (int i = start; i < list->VtxBuffer.Size; ++i) {
        const ImVec2 p = list->VtxBuffer[i].pos;
        b.minX = std::min(b.minX, p.x);
        b.maxX = std::max(b.maxX, p.x);
        b.minY = std::min(b.minY, p.y);
        b.maxY = std::max(b.maxY, p.y);
    }
    return b;
}

TEST(WaveformDrawing, HundredThousandSamplesRenderInEveryModeAndZoom) {
    UiContext ui;
    const std::vector<float> samples = sine(100000);
    const WaveformPeaks peaks(samples, 48000.0);
    const double seconds = 100000.0 / 48000.0;
    for (uint32_t mode : {0u, 1u, 2u}) {
        unclippedFrame(ui, [&](ImDrawList* list) {
            WaveformStyle style;
            style.mode = mode;
            const Rect r{0, 100, 800, 200};
            const int start = list->VtxBuffer.Size;
            drawWaveform(list, r, secondsAxis(0, static_cast<float>(seconds), 0, 800), peaks, style);
            // Columns: 4 vertices each; bands: the fill strip (2 a column) comes first.
            const int shape = mode == 0 ? 800 * 4 : 800 * 2;
            ASSERT_GE(list->VtxBuffer.Size - start, shape);
            float minY = 1e9f;
            float maxY = -1e9f;
            for (int i = start; i < start + shape; ++i) {
                minY = std::min(minY, list->VtxBuffer[i].pos.y);
                maxY = std::max(maxY, list->VtxBuffer[i].pos.y);
            }
            EXPECT_NEAR(minY, 100 + 100 * (1 - 0.8f), 0.01f);
            EXPECT_NEAR(maxY, 100 + 100 * (1 + 0.8f), 0.01f);
        });
    }
    // Zoomed in so far that every sample is its own point, over a surface wider than 16-bit
    // indices reach.
    unclippedFrame(ui, [&](ImDrawList* list) {
        WaveformStyle style;
        const Bounds zoomed = boundsOf(list, [&] {
            drawWaveform(list, Rect{0, 100, 250000, 200}, secondsAxis(0, static_cast<float>(seconds), 0, 250000),
                         peaks, style);
        });
        EXPECT_GT(zoomed.vertices, 100000);
        EXPECT_GT(list->VtxBuffer.Size, 65536);
    });  // Render() asserts on index overflow
    ImGui::SetCurrentContext(nullptr);
}

TEST(WaveformDrawing, ColumnsFollowThePeaksOfTheirSamples) {
    UiContext ui;
    std::vector<float> samples(4800, 0.0f);
    samples[2400] = 1.0f;   // one spike in the middle
    samples[100] = -0.5f;   // one dip near the start
    const WaveformPeaks peaks(samples, 48000.0);
    unclippedFrame(ui, [&](ImDrawList* list) {
        WaveformStyle style;
        style.mode = WaveformMode::columns;
        // 0.1 s over 100 px: 48 samples a column.
        const Bounds b = boundsOf(list, [&] { drawWaveform(list, Rect{0, 0, 100, 100}, secondsAxis(0, 0.1f, 0, 100), peaks, style); });
        EXPECT_EQ(b.vertices, 100 * 4);
        EXPECT_FLOAT_EQ(b.minY, 0.0f) << "the spike reaches the top";
        EXPECT_FLOAT_EQ(b.maxY, 75.0f) << "the dip reaches a quarter down";

        // Gain and level scale the height; the curve by time.
        style.gain = 0.5f;
        style.levelCurve = [](double t) { return t < 0.04 ? 0.0f : 1.0f; };
        const Bounds scaled = boundsOf(list, [&] { drawWaveform(list, Rect{0, 0, 100, 100}, secondsAxis(0, 0.1f, 0, 100), peaks, style); });
        EXPECT_FLOAT_EQ(scaled.minY, 25.0f);
        EXPECT_FLOAT_EQ(scaled.maxY, 50.5f) << "the dip is silenced by the curve";
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(WaveformDrawing, RangeOffsetAndNothingToDraw) {
    UiContext ui;
    const std::vector<float> samples = sine(48000);
    const WaveformPeaks peaks(samples, 48000.0);
    unclippedFrame(ui, [&](ImDrawList* list) {
        const PlotAxis axis = secondsAxis(0, 4, 0, 400);  // 100 px a second
        WaveformStyle style;
        style.mode = WaveformMode::columns;
        style.firstSample = 12000;
        style.endSample = 36000;
        const Bounds part = boundsOf(list, [&] { drawWaveform(list, Rect{0, 0, 400, 100}, axis, peaks, style); });
        EXPECT_FLOAT_EQ(part.minX, 25.0f);
        EXPECT_FLOAT_EQ(part.maxX, 75.0f);
        style.timeOffset = 1.0;
        const Bounds moved = boundsOf(list, [&] { drawWaveform(list, Rect{0, 0, 400, 100}, axis, peaks, style); });
        EXPECT_FLOAT_EQ(moved.minX, 125.0f);
        // Beats at 120 BPM as axis units: half a second each, so 0.25 s is at beat 0.5.
        style.timeOffset = 0.0;
        style.secondsPerUnit = 0.5;
        const Bounds beats = boundsOf(list, [&] { drawWaveform(list, Rect{0, 0, 400, 100}, axis, peaks, style); });
        EXPECT_FLOAT_EQ(beats.minX, 50.0f);

        WaveformStyle plain;
        const auto nothing = [&](const WaveformPeaks& p, const Rect& r, const WaveformStyle& s) {
            return boundsOf(list, [&] { drawWaveform(list, r, axis, p, s); }).vertices;
        };
        EXPECT_EQ(nothing(WaveformPeaks{}, Rect{0, 0, 400, 100}, plain), 0);
        EXPECT_EQ(nothing(WaveformPeaks(samples, 0.0), Rect{0, 0, 400, 100}, plain), 0);
        EXPECT_EQ(nothing(peaks, Rect{0, 0, 0, 100}, plain), 0);
        EXPECT_EQ(nothing(peaks, Rect{0, 0, 400, -1}, plain), 0);
        WaveformStyle empty;
        empty.firstSample = 500;
        empty.endSample = 500;
        EXPECT_EQ(nothing(peaks, Rect{0, 0, 400, 100}, empty), 0);
        WaveformStyle offscreen;
        offscreen.timeOffset = 100.0;
        EXPECT_EQ(nothing(peaks, Rect{0, 0, 400, 100}, offscreen), 0);
        WaveformStyle noUnits;
        noUnits.secondsPerUnit = 0.0;
        EXPECT_EQ(nothing(peaks, Rect{0, 0, 400, 100}, noUnits), 0);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(WaveformDrawing, BandModesShiftByHalfAPixelOrNot) {
    UiContext ui;
    const std::vector<float> samples = sine(48000);
    const WaveformPeaks peaks(samples, 48000.0);
    unclippedFrame(ui, [&](ImDrawList* list) {
        WaveformStyle style;
        style.colour = 0xC8FFFFFF;
        style.mode = 1;
        const int start = list->VtxBuffer.Size;
        drawWaveform(list, Rect{0, 0, 100, 100}, secondsAxis(0, 1, 0, 100), peaks, style);
        EXPECT_EQ(list->VtxBuffer[start].pos.x, 0.5f);
        EXPECT_EQ(list->VtxBuffer[start].col >> 24, 70u) << "band alpha 200 x 0.35";
        style.mode = 7;
        const int other = list->VtxBuffer.Size;
        drawWaveform(list, Rect{0, 0, 100, 100}, secondsAxis(0, 1, 0, 100), peaks, style);
        EXPECT_EQ(list->VtxBuffer[other].pos.x, 0.0f);
    });
    ImGui::SetCurrentContext(nullptr);
}

}  // namespace
}  // namespace tarn::ui
