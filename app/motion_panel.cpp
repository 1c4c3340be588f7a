// The motion tab: lane choice, drawing one cycle, dragging the cycle's length, and the cycle as the voice plays it.
#include "app/motion_panel.h"

#include "app/arc_panel.h"
#include "app/editor.h"
#include "app/lane_canvas.h"
#include "engine/display_mappings.h"
#include "ui/draw.h"
#include "ui/flow_row.h"
#include "ui/interact.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tarn {
namespace {

// The cycle lengths the edge snaps to, in beats, shortest first.
constexpr std::array<float, 12> kCycleLengths = {0.25f, 0.5f, 0.75f, 1.0f, 1.5f,  2.0f,
                                                 3.0f,  4.0f, 6.0f,  8.0f, 12.0f, 16.0f};

constexpr std::uint32_t kLimitShade = 0x990e1208;
constexpr std::uint32_t kLabel = 0xff6f735a;
constexpr std::uint32_t kLabelBacking = 0xd90d1108;

const std::uint32_t kGreenMain = laneColors[0].main;
const std::uint32_t kGreenDark = laneColors[0].dark;
const std::uint32_t kGreenFaint = laneColors[0].faint;

// What the motion lanes do right now, with the phrase arc's pull on tone, drive and amount.
struct MotionView {
    float depth;  // E: the lane's depth times the arc-moved amount
    float tone;   // T
    float drive;  // D
    float reach;  // R: the share of the signal the lane acts on
    float cycle;  // P, beats
    float span;   // S, beats shown
    float sweep;  // w: half the tone lane's travel
};

float spanFor(float cycle) { return std::max(std::ceil(2.0f * cycle), 4.0f); }

MotionView motionView(const MotionPanelState& state, const Patch& patch, const PatchCurves& curves, double position) {
    const double bars = patch.arcBars > 0.0f ? patch.arcBars : 1.0f;
    const double phrase = position * 0.25 / bars;
    MotionView v{};
    v.depth = motionDepth(patch, state.lane, arcOffset(patch, curves.data(), 3, phrase));
    v.tone = arcTone(patch, arcOffset(patch, curves.data(), 1, phrase));
    v.drive = arcDrive(patch, arcOffset(patch, curves.data(), 2, phrase));
    v.reach = state.lane == 2 ? 1.0f : 1.0f - std::clamp(patch.weight, 0.0f, 1.0f);
    v.cycle = std::max(patch.motionRate, 0.05f);
    v.span = state.draggingEdge ? state.heldSpan : spanFor(v.cycle);
    v.sweep = v.depth * 0.5f;
    return v;
}

float snapCycle(float beats) {
    float best = kCycleLengths[0];
    for (float length : kCycleLengths)
        if (std::fabs(beats - length) < std::fabs(beats - best)) best = length;  // a tie keeps the shorter
    return best;
}

// Point i of 64 of a lane read around its loop.
float lanePoint(const float* curve, int i) { return curve[i % kCurvePoints]; }

const char* motionHint(const Patch& patch, int lane, float laneDepth, bool& warning) {
    warning = true;
    if (patch.motion <= 0.0f) return "Amount is zero, so nothing moves";
    if (laneDepth <= 0.0f) return "This lane's depth is zero, so it does not move";
    if (lane != 2 && patch.weight >= 0.99f) return "Weight is full, so this lane reaches nothing";
    warning = false;
    return "Drag to draw, drag the cycle edge to set its length";
}

// A label on a backing of the area's own colour, so the lanes that pass under it do not cross it out.
void drawLabel(const DrawingArea& area, float y, const char* text) {
    const float s = ui::scale();
    const ImVec2 at(area.rect.x + 4.0f * s, y);
    const ImVec2 size = ui::measureText(text, 0);
    area.list->AddRectFilled(ImVec2(at.x - 2.0f * s, at.y - s), ImVec2(at.x + size.x + 2.0f * s, at.y + size.y + s),
                             ui::toImColor(kLabelBacking), 2.0f * s);
    ui::drawTextAt(area.list, at, text, 0, kLabel);
}

// The limits of the tone sweep as dimmed bands, and the centre line.
void drawLimits(const DrawingArea& area, const MotionView& v, int lane) {
    const float s = ui::scale();
    const float w = v.sweep;
    if (lane == 0 && w > 0.0f) {
        const float hi = (1.0f - v.tone) / w;
        const float lo = -v.tone / w;
        if (hi < 1.0f) {
            area.list->AddRectFilled(ImVec2(area.rect.x, area.rect.y), ImVec2(area.right(), area.yOf(hi)),
                                     ui::toImColor(kLimitShade));
            drawLine(area.list, ImVec2(area.rect.x, area.yOf(hi)), ImVec2(area.right(), area.yOf(hi)),
                     canvasColors::majorLine, 1.6f * s);
        }
        if (lo > -1.0f) {
            area.list->AddRectFilled(ImVec2(area.rect.x, area.yOf(lo)), ImVec2(area.right(), area.bottom()),
                                     ui::toImColor(kLimitShade));
            drawLine(area.list, ImVec2(area.rect.x, area.yOf(lo)), ImVec2(area.right(), area.yOf(lo)),
                     canvasColors::majorLine, 1.6f * s);
        }
    }
    const float centreY = area.yOf(0.0f);
    drawLine(area.list, ImVec2(area.rect.x, centreY), ImVec2(area.right(), centreY), canvasColors::majorLine, s);
}

// What the lane's top, middle and bottom mean. Drawn over the lanes: every lane starts its cycle at
// the left edge, where the labels sit.
void drawValueLabels(const DrawingArea& area, const MotionView& v, int lane) {
    const float s = ui::scale();
    const float labelHeight = ui::measureText("0", 0).y;
    const float topY = area.rect.y + 4.0f * s;
    const float bottomY = area.bottom() - labelHeight - 4.0f * s;
    const float centreY = area.yOf(0.0f);
    const float w = v.sweep;
    char text[64];
    const float lowGain = motionLevelGain(v.depth, -1.0f);
    if (lane == 0) {
        std::snprintf(text, sizeof text, "%.0f Hz", cutoffFromUnit(v.tone + w));
        drawLabel(area, topY, text);
        std::snprintf(text, sizeof text, "Tone %.0f Hz", cutoffFromUnit(v.tone));
        drawLabel(area, centreY - labelHeight - 2.0f * s, text);
        std::snprintf(text, sizeof text, "%.0f Hz", cutoffFromUnit(v.tone - w));
        drawLabel(area, bottomY, text);
    } else if (lane == 1) {
        std::snprintf(text, sizeof text, "Drive %.2f", v.drive);
        drawLabel(area, topY, text);
        std::snprintf(text, sizeof text, "Drive %.2f", lowGain * v.drive);
        drawLabel(area, bottomY, text);
    } else {
        std::snprintf(text, sizeof text, "%.0f dB", 0.0);
        drawLabel(area, topY, text);
        std::snprintf(text, sizeof text, "%.1f dB", 20.0f * std::log10(std::max(0.0001f, lowGain)));
        drawLabel(area, bottomY, text);
    }
}

// One cycle of a lane starting at beat `start`: 65 points across the cycle's width.
template <class Value>
std::vector<ImVec2> cyclePoints(const DrawingArea& area, const MotionView& v, float start, Value value) {
    std::vector<ImVec2> points(kCurvePoints + 1);
    for (int i = 0; i <= kCurvePoints; ++i) {
        const float beat = static_cast<float>(i) / kCurvePoints * v.cycle + start;
        points[static_cast<std::size_t>(i)] = ImVec2(area.rect.x + beat / v.span * area.rect.w, area.yOf(value(i)));
    }
    return points;
}

void drawLanes(const DrawingArea& area, const MotionView& v, const Patch& patch, const PatchCurves& curves, int lane) {
    for (int other = 0; other < kMotionLanes; ++other) {
        if (other == lane) continue;
        const float* curve = curves.curve(other);
        const auto points = cyclePoints(area, v, 0.0f, [&](int i) { return lanePoint(curve, i); });
        if (patch.*motionDepthFields[other] * patch.motion > 0.0f)
            ui::drawPolyline(area.list, points, canvasColors::otherLane, 1.0f);
        else
            ui::drawDashedPolyline(area.list, points, canvasColors::otherLane, 1.0f, 4.0f, 3.0f);
    }

    // The tone lane is limited by the filter's range: what plays is the drawing cut at 0 and 1.
    const float* curve = curves.curve(lane);
    const auto played = [&](int i) {
        const float r = lanePoint(curve, i);
        if (lane != 0) return std::clamp(r, -1.0f, 1.0f);
        return v.sweep > 0.0f ? (std::clamp(v.sweep * r + v.tone, 0.0f, 1.0f) - v.tone) / v.sweep : 0.0f;
    };
    const int lastCycle = static_cast<int>(std::ceil(v.span / v.cycle)) - 1;
    for (int k = lastCycle; k >= 1; --k) {
        const float start = static_cast<float>(k) * v.cycle;
        if (start < v.span) ui::drawPolyline(area.list, cyclePoints(area, v, start, played), kGreenDark, 1.0f);
    }
    const std::uint32_t colour = ui::mixColor(kGreenDark, kGreenMain, v.reach);
    const auto first = cyclePoints(area, v, 0.0f, played);
    ui::drawGlowPolyline(area.list, first, colour, v.reach * v.depth, 1.6f);
    const auto raw = cyclePoints(area, v, 0.0f, [&](int i) { return lanePoint(curve, i); });
    for (std::size_t i = 1; i < raw.size(); ++i)
        if (std::fabs(raw[i].y - first[i].y) > 0.5f)
            ui::drawPolyline(area.list, std::span<const ImVec2>(&raw[i - 1], 2), canvasColors::otherLane, 1.0f);
}

void drawReadout(const Patch& patch, const MotionView& v, int lane) {
    const float lowGain = motionLevelGain(v.depth, -1.0f);
    if (lane == 0)
        ImGui::Text("Cycle %.2f beats   Q %.2f   reaches %.0f%% of the signal", patch.motionRate,
                    v.depth * 3.0f + 0.707f, v.reach * 100.0f);
    else if (lane == 1)
        ImGui::Text("Cycle %.2f beats   Drive %.2f down to %.2f", patch.motionRate, v.drive, lowGain * v.drive);
    else
        ImGui::Text("Cycle %.2f beats   ducks %.1f dB", patch.motionRate,
                    -20.0f * std::log10(std::max(0.0001f, lowGain)));
}

const char* const kDepthTips[kMotionLanes] = {
    "How far the filter sweeps and how hard it resonates.",
    "How far Drive closes at the bottom of the cycle.\nThe top is the Drive slider.",
    "How far the level ducks at the bottom of the cycle.\nA ramp is a sidechain pump, a square a gate.",
};

}  // namespace

void Editor::drawMotionPanel(MotionPanelState& state, Patch& patch, PatchCurves& curves, double position) {
    const float s = ui::scale();
    state.lane = std::clamp(state.lane, 0, kMotionLanes - 1);
    const MotionView v = motionView(state, patch, curves, position);

    bool warning = false;
    const char* hint = motionHint(patch, state.lane, patch.*motionDepthFields[state.lane], warning);
    titleWithHint("Motion", hint, warning ? canvasColors::warning : canvasColors::hint);
    for (int i = 0; i < kMotionLanes; ++i) {
        if (i > 0) ui::sameLineIfRoom(radioWidth(motionTargetName(i)));
        if (ImGui::RadioButton(motionTargetName(i), i == state.lane)) {
            state.lane = i;
            state.lastPoint = -1;
        }
    }
    const int lane = state.lane;
    float* laneCurve = curves.curve(lane);

    const DrawingArea area = beginDrawingArea("motion", 210.0f * s);
    const ui::Rect& r = area.rect;
    for (int i = 0; static_cast<float>(i) <= v.span; ++i)
        drawAreaLine(area, r.x + static_cast<float>(i) / v.span * r.w,
                     i % 4 == 0 ? canvasColors::majorLine : canvasColors::minorLine, s);
    drawLimits(area, v, lane);
    const float edgeX = r.x + r.w * v.cycle / v.span;
    area.list->AddRectFilled(ImVec2(r.x, r.y), ImVec2(edgeX, area.bottom()), ui::toImColor(kGreenFaint));

    const ImVec2 mouse = ImGui::GetIO().MousePos;
    const bool nearEdge = std::fabs(mouse.x - edgeX) <= 8.0f * s;
    if (area.active) {
        if (!state.draggingEdge && state.lastPoint < 0 && nearEdge) {
            state.draggingEdge = true;
            state.heldSpan = v.span;
        }
        if (state.draggingEdge) {
            patch.motionRate = snapCycle(std::clamp((mouse.x - r.x) / r.w * state.heldSpan, 0.25f, 16.0f));
        } else if (ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
            const float t = std::clamp((mouse.x - r.x) / r.w, 0.0f, 1.0f);
            const float cycles = t * v.span / v.cycle;
            const int point = std::clamp(static_cast<int>(std::floor((cycles - std::floor(cycles)) * kCurvePoints)), 0,
                                         kCurvePoints - 1);
            writeStroke(laneCurve, state.lastPoint, point, area.valueAt(mouse.y));
        } else {
            state.lastPoint = -1;
        }
    } else {
        state.draggingEdge = false;
        state.lastPoint = -1;
    }

    drawLanes(area, v, patch, curves, lane);
    drawValueLabels(area, v, lane);
    ui::Hotspot edge;
    edge.kind = ui::HotspotKind::verticalBar;
    edge.point = ImVec2(edgeX, r.y);
    edge.area = r;
    edge.grabRadius = 8.0f;
    ui::Interaction edgeState;
    edgeState.hovered = nearEdge && area.hovered;
    edgeState.held = state.draggingEdge;
    ui::drawHotspot(area.list, edge, edgeState, canvasColors::drawn, kGreenMain);
    const double beat = position - std::floor(position / v.span) * v.span;
    drawAreaLine(area, r.x + static_cast<float>(beat / v.span) * r.w, canvasColors::playCursor, 2.0f * s);
    endDrawingArea(area);

    ImGui::Spacing();
    unitSlider("Amount", &patch.motion, "How much of the cycle reaches every lane at once.");
    unitSlider("Depth", &depthField(patch, motionDepthFields[lane]), kDepthTips[lane]);
    alignTextToSmallButtons();
    drawReadout(patch, v, lane);
    const char* const presets[] = {"Sine", "Ramp", "Square"};
    for (int i = 0; i < 3; ++i) {
        ui::sameLineIfRoom(ui::buttonWidth(presets[i]));
        if (!smallButton(presets[i])) continue;
        if (i == 0) curveCosine(laneCurve);
        if (i == 1) curveRamp(laneCurve);
        if (i == 2) curveSquare(laneCurve);
    }
}

}  // namespace tarn
