// The phrase arc tab: lane choice, drawing a lane over the phrase, the played trace, and the arc's controls.
#include "app/arc_panel.h"

#include "app/editor.h"
#include "app/lane_canvas.h"
#include "engine/display_mappings.h"
#include "ui/draw.h"
#include "ui/flow_row.h"
#include "ui/interact.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarn {

const std::array<LaneColorSet, kArcLanes> laneColors = {{
    {0xff8dc63f, 0xffa4d165, 0xff5a8a1a, 0x338dc63f, 0x1f8dc63f},  // Shape
    {0xff6aa6d8, 0xff88b8e0, 0xff456c8c, 0x336aa6d8, 0x1f6aa6d8},  // Tone
    {0xffe0955a, 0xffe6aa7b, 0xff92613b, 0x33e0955a, 0x1fe0955a},  // Drive
    {0xffb08ad0, 0xffc0a1d9, 0xff725a87, 0x33b08ad0, 0x1fb08ad0},  // Motion
    {0xff5fb0a0, 0xff7fc0b3, 0xff3e7268, 0x335fb0a0, 0x1f5fb0a0},  // Spread
}};

std::vector<ImVec2> curvePoints(const float* curve, ImVec2 topLeft, ImVec2 size) {
    std::vector<ImVec2> points(kCurvePoints + 1);
    for (int i = 0; i <= kCurvePoints; ++i) {
        const float v = clampUnitSigned(curve[i % kCurvePoints]);
        points[static_cast<std::size_t>(i)] =
            ImVec2(topLeft.x + static_cast<float>(i) * size.x / kCurvePoints, topLeft.y + (1.0f - v) * size.y * 0.5f);
    }
    return points;
}

namespace {

constexpr int kTracePoints = 320;  // segments of the played trace across the phrase

bool anyArcPointDrawn(const PatchCurves& curves) {
    const float* first = curves.curve(kFirstArcCurve);
    return std::any_of(first, first + kArcLanes * kCurvePoints, [](float v) { return v != 0.0f; });
}

// What the voice plays on `lane` over the phrase starting at `phraseStart`, across the area.
std::vector<ImVec2> playedTrace(const DrawingArea& area, const Patch& patch, const PatchCurves& curves, int lane,
                                double phraseStart) {
    std::vector<ImVec2> points(kTracePoints + 1);
    for (int i = 0; i <= kTracePoints; ++i) {
        const double along = static_cast<double>(i) / kTracePoints;
        const float v = arcLaneValue(patch, curves.data(), lane, phraseStart + along);
        points[static_cast<std::size_t>(i)] =
            ImVec2(area.rect.x + static_cast<float>(along) * area.rect.w, area.yOf(v));
    }
    return points;
}

void drawReadout(const Patch& patch, const PatchCurves& curves, int lane, double phrasePosition) {
    const float offset = arcOffset(patch, curves.data(), lane, phrasePosition);
    switch (lane) {
        case 0:
            ImGui::Text("around Shape %.2f", patch.shape);
            break;
        case 1:
            ImGui::Text("Tone %.0f Hz, the phrase has it at %.0f Hz", cutoffFromUnit(patch.tone),
                        cutoffFromUnit(arcTone(patch, offset)));
            break;
        case 2:
            ImGui::Text("Drive %.2f, the phrase has it at %.2f", patch.drive, arcDrive(patch, offset));
            break;
        case 3:
            ImGui::Text("Motion %.2f, the phrase has it at %.2f", patch.motion, arcMotion(patch, offset));
            break;
        default:
            ImGui::Text("Spread %.2f, the phrase has it at %.2f", patch.spread, arcSpread(patch, offset));
            break;
    }
}

}  // namespace

bool Editor::drawArcPanel(ArcPanelState& state, Patch& patch, PatchCurves& curves, double phrasePosition) {
    const float s = ui::scale();
    state.lane = std::clamp(state.lane, 0, kArcLanes - 1);
    bool seek = false;

    if (anyArcPointDrawn(curves) && patch.arcDrift >= 0.995f)
        titleWithHint("Phrase arc", "Drift is full, so the drawing is not being played", canvasColors::warning);
    else
        titleWithHint("Phrase arc", "Drag to draw the selected lane", canvasColors::hint);
    for (int i = 0; i < kArcLanes; ++i) {
        if (i > 0) ui::sameLineIfRoom(radioWidth(arcTargetName(i)));
        const bool selected = i == state.lane;
        if (laneRadio(arcTargetName(i), selected, selected ? laneColors[i].main : laneColors[i].dark)) {
            state.lane = i;
            state.lastPoint = -1;
        }
    }
    const int lane = state.lane;
    float* laneCurve = curves.curve(kFirstArcCurve + lane);
    float& laneDepth = depthField(patch, arcDepthFields[lane]);
    // At the right end of the lanes' row, or of a row of its own where the lanes leave no room.
    ui::sameLineIfRoom(110.0f * s + ImGui::GetStyle().ItemSpacing.x, 0.0f);
    ImGui::SetCursorPosX(ImGui::GetCursorPosX() + std::max(ImGui::GetContentRegionAvail().x - 110.0f * s, 0.0f));
    ImGui::SetNextItemWidth(110.0f * s);
    ImGui::SliderFloat("##bars", &patch.arcBars, 1.0f, 16.0f, "%.0f bars");
    ui::tooltip("Phrase length");

    const DrawingArea area = beginDrawingArea("arc", 240.0f * s);
    const ui::Rect& r = area.rect;
    const int bars = std::max(1L, std::lround(patch.arcBars));
    for (int i = 0; i <= bars; ++i)
        drawAreaLine(area, r.x + static_cast<float>(i) * r.w / static_cast<float>(bars),
                     i == 0 || i == bars ? canvasColors::majorLine : canvasColors::minorLine, s);
    drawLine(area.list, ImVec2(r.x, area.yOf(0.0f)), ImVec2(area.right(), area.yOf(0.0f)), canvasColors::majorLine, s);

    const double phraseStart = std::floor(phrasePosition);
    const float frac = static_cast<float>(phrasePosition - phraseStart);
    const ImVec2 mouse = ImGui::GetIO().MousePos;
    if (area.active && ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
        const float t = std::clamp((mouse.x - r.x) / r.w, 0.0f, 1.0f);
        state.firstDrawn = std::min(state.firstDrawn, t);
        const int point = std::clamp(static_cast<int>(std::floor(t * kCurvePoints)), 0, kCurvePoints - 1);
        writeStroke(laneCurve, state.lastPoint, point, area.valueAt(mouse.y));
    } else {
        // A change behind the play position would only be heard a phrase later: go back to the
        // start of the bar where the drawing began.
        if (state.lastPoint >= 0 && state.firstDrawn < frac) {
            const double b = std::max(static_cast<double>(patch.arcBars), 1.0);
            state.seekPhase = std::floor(static_cast<double>(state.firstDrawn) * b) / b + phraseStart;
            seek = true;
        }
        state.firstDrawn = 2.0f;
        state.lastPoint = -1;
    }

    const ImVec2 topLeft(r.x, r.y);
    const ImVec2 size(r.w, r.h);
    for (int other = 0; other < kArcLanes; ++other) {
        if (other == lane) continue;
        drawLaneStroke(area.list, curvePoints(curves.curve(kFirstArcCurve + other), topLeft, size),
                       laneColors[other].dark, patch.*arcDepthFields[other]);
    }
    ui::drawPolyline(area.list, playedTrace(area, patch, curves, lane, phraseStart + 1.0), canvasColors::otherLane,
                     1.0f);
    drawLaneStroke(area.list, playedTrace(area, patch, curves, lane, phraseStart), laneColors[lane].main, laneDepth);
    ui::drawPolyline(area.list, curvePoints(laneCurve, topLeft, size), canvasColors::drawn, 1.5f);
    drawAreaLine(area, r.x + frac * r.w, canvasColors::playCursor, 2.0f * s);
    if (area.hovered && !area.active) drawAreaLine(area, mouse.x, canvasColors::majorLine, s);
    endDrawingArea(area);

    ImGui::Spacing();
    unitSlider("Amount", &patch.arcAmount,
               "How much of the phrase reaches every destination at once.\nThe lanes say when each one moves; this "
               "says whether the\nphrase moves anything at all.");
    char depthTip[160];
    std::snprintf(depthTip, sizeof depthTip,
                  "How much of the phrase reaches %s, under Amount.\nIts trace is drawn as thick as this.",
                  arcTargetName(lane));
    unitSlider("Depth", &laneDepth, depthTip);
    unitSlider("Drift", &patch.arcDrift,
               "0 draws exactly what you drew, and it loops.\n1 is the non-repeating wander and ignores the "
               "drawing.\nOne wander behind every lane, so at 1 they move together\nand only their depths set them "
               "apart.");
    drawReadout(patch, curves, lane, phrasePosition);

    const char* const presets[] = {"Clear", "Rise", "Swell"};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) ui::sameLineIfRoom(ui::buttonWidth(presets[i]));
        if (!smallButton(presets[i])) continue;
        if (i == 0) std::fill(laneCurve, laneCurve + kCurvePoints, 0.0f);
        if (i == 1) curveRamp(laneCurve);
        if (i == 2) curveCosine(laneCurve);
        state.seekPhase = phraseStart;
        seek = true;
    }
    return seek;
}

}  // namespace tarn
