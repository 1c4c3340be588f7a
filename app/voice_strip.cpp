// The voice strip: punch, shape, glide and spread as small graphs that show and edit the sound.
#include "app/voice_strip.h"

#include "app/block_heights.h"
#include "app/editor.h"
#include "engine/envelopes.h"
#include "engine/one_pole.h"
#include "ui/draw.h"
#include "ui/interact.h"
#include "ui/panel.h"
#include "ui/plot.h"
#include "ui/text.h"
#include "ui/toggle.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace tarn {

std::vector<float> onePoleCurve(float timeConstant, float from, float to, float seconds) {
    const float count = std::floor(seconds * kPreviewRate) + 1.0f;
    if (!(count >= 1.0f)) return {};
    std::vector<float> out(static_cast<std::size_t>(count));
    OnePole pole{from, 1.0f};
    onePoleCoefficient(pole, timeConstant, kPreviewRate);
    out[0] = from;
    for (std::size_t i = 1; i < out.size(); ++i) out[i] = stepTowards(pole, to);
    return out;
}

std::vector<float> shapeEnvelopePreview(float shape, float pluck) {
    constexpr int kSamples = 2801;
    constexpr int kReleaseAt = 2000;  // the note is let go after 1.0 s
    const float fall = std::exp(-1.0f / 240.0f);
    AmpEnvelope envelope;
    envelope.rate = kPreviewRate;
    envelope.shape = shape;
    envelope.attack();
    float transient = 1.0f;
    std::vector<float> out(kSamples);
    for (int n = 0; n < kSamples; ++n) {
        if (n == kReleaseAt) envelope.release(0.2f);
        const float level = envelope.next();
        out[static_cast<std::size_t>(n)] = (transient * pluck + (1.0f - pluck)) * level;
        transient *= fall;
        if (transient < 1e-6f) transient = 0.0f;
    }
    return out;
}

namespace {

// The Editor's starting values, which a double click puts back.
constexpr float kStartPunch = 0.35f;
constexpr float kStartPunchTime = 0.05f;
constexpr float kStartShape = 0.35f;
constexpr float kStartPluck = 0.0f;
constexpr float kStartGlide = 0.06f;
constexpr float kStartSpread = 0.7f;

constexpr float kPunchSemitones = 18.0f;  // punch 1 drops into the note from 18 semitones up
constexpr float kDetuneHz = 1.2f;         // spread 1 detunes the two voices by 1.2 Hz
constexpr float kDx = 1.0f / kPreviewRate;

constexpr std::uint32_t kName = 0xff8a8870;
constexpr std::uint32_t kReadout = 0xfff0eed8;
constexpr std::uint32_t kMajorLine = 0x40c8d8a8;
constexpr std::uint32_t kMinorLine = 0x1cc8d8a8;
constexpr std::uint32_t kGuide = 0x668a8870;
constexpr std::uint32_t kOrange = 0xffe0955a;
constexpr std::uint32_t kBlue = 0xff6aa6d8;
constexpr std::uint32_t kBlueFill = 0x336aa6d8;
constexpr std::uint32_t kGreen = 0xff8dc63f;
constexpr std::uint32_t kGreenLight = 0xffa4d165;
constexpr std::uint32_t kGreenFill = 0x338dc63f;
constexpr std::uint32_t kGreenFaint = 0x1f8dc63f;
constexpr std::uint32_t kPoint = 0xfff0eed8;
constexpr std::uint32_t kLabel = 0xff6f735a;
constexpr float kTitleBand = 20.0f;  // logical px the panel's title takes from its content

float headerHeight(const ui::Rect& column) {
    return std::clamp(ui::measureText("Ag", 1).y + 4.0f * ui::scale(), 0.0f, std::max(column.h, 0.0f));
}

ui::Rect graphBody(const ui::Rect& column) {
    const float h = headerHeight(column);
    return {column.x, column.y + h, column.w, std::max(column.h - h, 0.0f)};
}

// Drawn after the graph, so the readout shows the values as this frame's edit left them. In a
// narrow column the name keeps its place and the readout gives way: cut with an ellipsis in the
// room right of the name, and left out when not one character of it fits.
void drawGraphHeader(ImDrawList* list, const ui::Rect& column, const char* name, const std::string& readout) {
    const ui::Rect row{column.x, column.y, column.w, headerHeight(column)};
    ui::drawText(list, row, name, 1, kName, 0);
    const float nameWidth = std::min(ui::measureText(name, 1).x, row.w);
    const float apart = nameWidth + 10.0f * ui::scale();
    const ui::Rect value{row.x + apart, row.y, std::max(row.w - apart, 0.0f), row.h};
    if (ui::fitText(readout, 6, value.w).keep > 0) ui::drawText(list, value, readout, 6, kReadout, 2);
}

ui::PlotAxis linearAxis(float min, float max) {
    ui::PlotAxis axis;
    axis.min = min;
    axis.max = max;
    return axis;
}

ui::Hotspot pointHotspot(ImVec2 at, std::int32_t axis, const char* tooltip) {
    ui::Hotspot h;
    h.point = at;
    h.grabRadius = 8.0f;
    h.dragAxis = axis;
    h.tooltip = tooltip;
    h.doubleClicks = true;  // a double click resets the graph
    return h;
}

// Held while the hotspot tracks a drag. The second press of a double click is held too but tracks
// nothing: acting on it would undo the reset the double click just made. A tracked frame that has
// not moved since the press repeats the press's own value, so skipping it changes nothing.
bool tracksDrag(const ui::Interaction& i) {
    return i.held && (i.pressed || i.dragging || i.totalDelta.x != 0.0f || i.totalDelta.y != 0.0f);
}

ImVec2 draggedPosition(const ui::Interaction& i) {
    return ImVec2(i.pressPosition.x + i.totalDelta.x, i.pressPosition.y + i.totalDelta.y);
}

std::string drawPunch(ImDrawList* list, const ui::Rect& body, Patch& patch) {
    ui::Plot plot("punch", body, linearAxis(0.0f, 0.3f), linearAxis(0.0f, kPunchSemitones), {});
    ui::Hotspot corner = pointHotspot(plot.toPixels(patch.punchTime, patch.punch * kPunchSemitones), ui::DragAxis::free,
                                      "A pitch drop into the note, not an amplitude click.\nUp is deeper, right is "
                                      "slower.");
    const ui::Interaction input = ui::interact("punchCorner", corner);
    if (tracksDrag(input)) {
        const ImVec2 at = draggedPosition(input);
        patch.punchTime = std::clamp(plot.xAxis().valueAt(at.x), 0.01f, 0.2f);
        patch.punch = std::clamp(plot.yAxis().valueAt(at.y) / kPunchSemitones, 0.0f, 1.0f);
    }
    if (input.doubleClicked || plot.interact().doubleClicked) {
        patch.punch = kStartPunch;
        patch.punchTime = kStartPunchTime;
    }

    const float depth = patch.punch * kPunchSemitones;
    const float time = patch.punchTime;
    plot.hLine(0.0f, kMajorLine, 1.0f);
    ui::drawDashedLine(list, plot.toPixels(0.0f, depth), plot.toPixels(time, depth), kMinorLine, 1.0f, 4.0f, 3.0f);
    ui::drawDashedLine(list, plot.toPixels(time, depth), plot.toPixels(time, 0.0f), kMinorLine, 1.0f, 4.0f, 3.0f);
    ui::drawDashedLine(list, plot.toPixels(0.0f, depth), plot.toPixels(time, 0.0f), kGuide, 1.0f, 4.0f, 3.0f);
    plot.curve(onePoleCurve(time, depth, 0.0f, 0.3f), 0.0f, kDx, kOrange, 1.5f);
    corner.point = plot.toPixels(time, depth);
    ui::drawHotspot(list, corner, input, kPoint, kGreen);

    char readout[48];
    std::snprintf(readout, sizeof readout, "%.1f st  %.0f ms", depth, time * 1000.0f);
    return readout;
}

std::string drawShape(ImDrawList* /*list*/, const ui::Rect& body, Patch& patch) {
    ui::Plot plot("shape", body, linearAxis(0.0f, 1.4f), linearAxis(0.0f, 1.05f), {});
    const ui::Rect& in = plot.inner();
    ui::Hotspot area = ui::rectangleHotspot(
        in, ImGuiMouseCursor_ResizeAll,
        "Pluck to swell, along one law. The arc moves this.\nDrag sideways.\nDrag down to pluck the harmonics away "
        "over a held sub.");
    area.doubleClicks = true;
    const ui::Interaction input = ui::interact("shapeDrag", area);
    // Relative: wherever the press lands, moving by the whole width sweeps the whole range.
    if (input.held && in.w > 0.0f) patch.shape = std::clamp(patch.shape + input.stepDelta.x / in.w, 0.0f, 1.0f);
    if (input.held && in.h > 0.0f) patch.pluck = std::clamp(patch.pluck + input.stepDelta.y / in.h, 0.0f, 1.0f);
    if (input.doubleClicked || plot.interact().doubleClicked) {
        patch.shape = kStartShape;
        patch.pluck = kStartPluck;
    }

    const std::vector<float> actual = shapeEnvelopePreview(patch.shape, patch.pluck);
    std::vector<float> times(actual.size());
    for (std::size_t i = 0; i < times.size(); ++i) times[i] = static_cast<float>(i) * kDx;
    plot.vLine(1.0f, kMinorLine, 1.0f);
    if (patch.pluck > 0.0f) plot.curve(shapeEnvelopePreview(patch.shape, 0.0f), 0.0f, kDx, kBlue, 1.5f);
    plot.fillUnder(times, actual, 0.0f, kGreenFill);
    plot.curve(actual, 0.0f, kDx, input.hovered || input.held ? kGreenLight : kGreen, 1.5f);

    char readout[48];
    if (patch.pluck > 0.0f)
        std::snprintf(readout, sizeof readout, "%.2f  pluck %.2f", patch.shape, patch.pluck);
    else
        std::snprintf(readout, sizeof readout, "%.2f", patch.shape);
    return readout;
}

std::string drawGlide(ImDrawList* list, const ui::Rect& body, Patch& patch) {
    const float s = ui::scale();
    const ImVec2 switchSize = ui::toggleSize("Legato");
    const float switchHeight = std::clamp(switchSize.y + 4.0f * s, 0.0f, body.h);
    const ui::Rect switchRow{body.x, body.y + body.h - switchHeight, body.w, switchHeight};
    // The toggle gets a box of its own size, so that it is never enlarged to fill the row.
    const ui::Rect switchBox{switchRow.x, switchRow.y + (switchHeight - std::min(switchSize.y, switchHeight)) * 0.5f,
                             std::min(switchSize.x, switchRow.w), std::min(switchSize.y, switchHeight)};
    bool legato = patch.legato >= 0.5f;
    ui::ToggleStyle style;
    style.tooltip =
        "On: overlapping notes tie, sliding by Glide under one envelope.\nOff: every note is struck anew and lands "
        "on pitch.";
    if (ui::toggle("legato", switchBox, "Legato", &legato, style)) patch.legato = legato ? 1.0f : 0.0f;

    const float oneTimeConstant = 1.0f - std::exp(-1.0f);  // where a one-pole is after one time constant
    ui::Plot plot("glide", ui::Rect{body.x, body.y, body.w, body.h - switchHeight}, linearAxis(0.0f, 1.0f),
                  linearAxis(-0.1f, 1.1f), {});
    ui::Hotspot point =
        pointHotspot(plot.toPixels(patch.glide, oneTimeConstant), ui::DragAxis::x,
                     "Only reachable through overlapping notes: a slide needs somewhere to go and time to land.");
    const ui::Interaction input = ui::interact("glidePoint", point);
    if (tracksDrag(input)) patch.glide = std::clamp(plot.xAxis().valueAt(draggedPosition(input).x), 0.0f, 0.4f);
    if (input.doubleClicked || plot.interact().doubleClicked) patch.glide = kStartGlide;

    plot.hLine(0.0f, kMinorLine, 1.0f);
    plot.hLine(1.0f, kMajorLine, 1.0f);
    plot.curve(onePoleCurve(patch.glide, 0.0f, 1.0f, 1.0f), 0.0f, kDx, kOrange, 1.5f);
    point.point = plot.toPixels(patch.glide, oneTimeConstant);
    ui::drawHotspot(list, point, input, kPoint, kGreen);

    char readout[32];
    std::snprintf(readout, sizeof readout, "%.0f ms", patch.glide * 1000.0f);
    return readout;
}

std::string drawSpread(ImDrawList* list, const ui::Rect& body, Patch& patch) {
    const float s = ui::scale();
    ui::Plot plot("spread", body, linearAxis(-1.0f, 1.0f), linearAxis(-1.0f, 1.0f), {});
    const ui::Rect& in = plot.inner();
    ui::Hotspot area = ui::rectangleHotspot(in, ImGuiMouseCursor_ResizeEW,
                                            "Detune and width, on the harmonic layer only. At zero the output is "
                                            "bit-exactly mono.\nClick or drag where the voices should stand.");
    area.dragAxis = ui::DragAxis::x;
    area.doubleClicks = true;
    const ui::Interaction input = ui::interact("spreadDrag", area);
    // The two voices stand symmetrically, so either side of the centre sets the same spread.
    if (tracksDrag(input))
        patch.spread = std::clamp(std::fabs(plot.xAxis().valueAt(draggedPosition(input).x)), 0.0f, 1.0f);
    if (input.doubleClicked || plot.interact().doubleClicked) patch.spread = kStartSpread;

    const float spread = patch.spread;
    if (spread > 0.0f) plot.band(-spread, spread, kGreenFaint);
    plot.vLine(0.0f, kMinorLine, 1.0f);
    ui::drawTextAt(list, ImVec2(in.x + 4.0f * s, in.y + 4.0f * s), "L", 0, kLabel);
    ui::drawTextAt(list, ImVec2(in.x + in.w - 4.0f * s - ui::measureText("R", 0).x, in.y + 4.0f * s), "R", 0, kLabel);
    const ImVec2 centre = plot.toPixels(0.0f, 0.0f);
    ui::fillCircle(list, centre, 8.8f * s, kBlueFill);
    ui::drawCircle(list, centre, 8.8f * s, kBlue, 1.0f);
    // The voices pulse at their beat frequency.
    const float beat = std::fabs(std::cos(static_cast<float>(ImGui::GetTime()) * spread * kDetuneHz * 3.1415927f));
    const auto alpha = static_cast<std::uint32_t>(std::clamp(beat * 0.65f + 0.35f, 0.0f, 1.0f) * 255.0f + 0.5f);
    const std::uint32_t voice = (alpha << 24) | (kGreen & 0x00ffffffu);
    ui::fillCircle(list, plot.toPixels(-spread, 0.0f), 5.5f * s, voice);
    ui::fillCircle(list, plot.toPixels(spread, 0.0f), 5.5f * s, voice);

    char readout[48];
    if (spread > 0.0f)
        std::snprintf(readout, sizeof readout, "%.2f  %.2f Hz", spread, spread * kDetuneHz);
    else
        std::snprintf(readout, sizeof readout, "mono");
    return readout;
}

}  // namespace

void Editor::drawVoiceStrip(const ui::Rect& rect, Patch& patch) {
    const float s = ui::scale();
    // The title is the strip's spare height that goes last: only where keeping it would leave the graphs
    // less than they need does the strip go without it.
    const bool titled = rect.h >= (kVoiceLeast + kTitleBand) * s;
    const ui::PanelScope scope(rect, titled ? "Voice" : "", 0);
    const ui::Rect& c = scope.content;
    const float gap = 12.0f * s;
    const float width = (c.w - 3.0f * gap) / 4.0f;
    // Each graph draws its body and returns its readout.
    using Graph = std::string (*)(ImDrawList*, const ui::Rect&, Patch&);
    const Graph graphs[] = {drawPunch, drawShape, drawGlide, drawSpread};
    const char* const names[] = {"Punch", "Shape", "Glide", "Spread"};
    float x = c.x;
    float remaining = std::max(c.w, 0.0f);
    for (int i = 0; i < 4; ++i) {
        const float w = std::clamp(width, 0.0f, remaining);
        const ui::Rect column{x, c.y, w, c.h};
        const std::string readout = graphs[i](scope.list, graphBody(column), patch);
        drawGraphHeader(scope.list, column, names[i], readout);
        x += w;
        remaining -= w;
        const float g = std::min(gap, remaining);
        x += g;
        remaining -= g;
    }
}

}  // namespace tarn
