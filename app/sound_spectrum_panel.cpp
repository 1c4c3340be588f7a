// The spectrum tab: one note of the sound analysed (and cached), drawn as sub and harmonics, dragged to edit.
#include "app/sound_spectrum_panel.h"

#include "app/arc_panel.h"
#include "app/editor.h"
#include "engine/display_mappings.h"
#include "ui/draw.h"
#include "ui/interact.h"
#include "ui/plot.h"
#include "ui/text.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tarn {
namespace {

constexpr float kCrossoverHz = 120.0f;
constexpr float kLowHz = 30.0f;
constexpr float kHighHz = 12000.0f;
constexpr float kFloorDb = -84.0f;
constexpr float kOffsetTolerance = 0.02f;  // arc offsets closer than this draw the same picture

constexpr std::uint32_t kHint = 0xff8a8870;
constexpr std::uint32_t kWarning = 0xffd0a828;
constexpr std::uint32_t kChipText = 0xfff0eed8;
constexpr std::uint32_t kLabel = 0xff6f735a;
constexpr std::uint32_t kCrossoverLine = 0x40c8d8a8;
constexpr std::uint32_t kPlayedTone = 0x668a8870;
constexpr std::uint32_t kCorner = 0xfff0eed8;

const LaneColorSet& kGreen = laneColors[0];
const LaneColorSet& kBlue = laneColors[1];

// What the arc and motion make of the patch at the play position.
struct PlayedValues {
    float offsets[kArcLanes];
    float drive;
    float sweep;  // half the tone lane's travel, in tone units
    float tone;
};

PlayedValues playedValues(const Patch& patch, const PatchCurves& curves, double position) {
    const double phrase = position * 0.25 / (patch.arcBars > 0.0f ? patch.arcBars : 1.0f);
    PlayedValues p{};
    for (int lane = 0; lane < kArcLanes; ++lane) p.offsets[lane] = arcOffset(patch, curves.data(), lane, phrase);
    p.drive = arcDrive(patch, p.offsets[2]);
    p.sweep = 0.5f * motionDepth(patch, 0, p.offsets[3]);
    p.tone = arcTone(patch, p.offsets[1]);
    return p;
}

bool analysisStale(const SpectrumPanelState& state, const Patch& patch, const PatchCurves& curves, int note,
                   const PlayedValues& played) {
    if (!state.valid || note != state.analysedNote) return true;
    for (int lane = 0; lane < kArcLanes; ++lane)
        if (std::fabs(played.offsets[lane] - state.analysedOffsets[lane]) > kOffsetTolerance) return true;
    // Every byte counts, also of values the analysis ignores: the comparison stays exact and cheap.
    return std::memcmp(&patch, &state.analysedPatch, offsetof(Patch, curves)) != 0 ||
           std::memcmp(&curves, &state.analysedPatch.curves, sizeof curves) != 0;
}

void analyse(SpectrumPanelState& state, const Patch& patch, const PatchCurves& curves, double position, int note,
             float sampleRate, const PlayedValues& played) {
    VoiceTransport transport;
    transport.beats = position;
    transport.tempo = 120.0f;
    transport.running = 1;
    state.spectrum = renderSpectrum(patch, curves.data(), transport, note, sampleRate);
    state.analysedPatch = patch;
    state.analysedPatch.curves = curves;
    state.analysedNote = note;
    std::copy(played.offsets, played.offsets + kArcLanes, state.analysedOffsets);
    state.valid = true;
    ++state.analyses;
}

// The weight and drive drags on the plot and the tone corner; returns the corner's interaction.
ui::Interaction editByDrag(SpectrumPanelState& state, ui::Plot& plot, Patch& patch, float crossoverX,
                           const ui::Hotspot& corner) {
    const ui::Interaction cornerInput = ui::interact("corner", corner);
    if (cornerInput.held) {
        const float x = cornerInput.pressPosition.x + cornerInput.totalDelta.x;
        patch.tone = std::clamp(unitFromCutoff(plot.xAxis().valueAt(x)), 0.0f, 1.0f);
    }
    const ui::PlotInput input = plot.interact();
    const float mouseY = input.mousePixels.y;
    if (input.pressed) {
        state.dragMode = input.mousePixels.x < crossoverX ? 1 : 2;
        state.lastMouseY = mouseY;
    }
    if (!input.held) state.dragMode = 0;
    const float dy = mouseY - state.lastMouseY;
    state.lastMouseY = mouseY;
    const float height = plot.inner().h;
    if (state.dragMode == 1 && height > 0.0f) patch.weight = std::clamp(patch.weight - dy / height, 0.0f, 1.0f);
    if (state.dragMode == 2 && height > 0.0f) patch.drive = std::clamp(patch.drive - dy / height, 0.0f, 1.0f);
    if (input.hovered || state.dragMode != 0) ImGui::SetMouseCursor(ImGuiMouseCursor_ResizeNS);
    return cornerInput;
}

// The spectrum as one point per pixel column, split at the crossover. The harmonics start where
// the sub ends, so the two outlines join; a plot too narrow for any sub column has nothing to join.
void drawSpectrumCurve(const ui::Plot& plot, const Spectrum& spectrum, float crossoverX) {
    const ui::Rect& in = plot.inner();
    std::vector<ImVec2> sub;
    std::vector<ImVec2> harmonics;
    const int columns = static_cast<int>(std::floor(in.w));
    for (int i = 0; i <= columns; ++i) {
        const float x = in.x + static_cast<float>(i);
        const float level = std::clamp(spectrumLevel(spectrum, plot.xAxis().valueAt(x), plot.xAxis().valueAt(x + 1.0f)),
                                       kFloorDb, 0.0f);
        const ImVec2 point(x, plot.yAxis().pixelOf(level));
        if (x < crossoverX) {
            sub.push_back(point);
        } else {
            if (harmonics.empty() && !sub.empty()) harmonics.push_back(sub.back());
            harmonics.push_back(point);
        }
    }
    const float bottom = in.y + in.h;
    ui::fillUnderPolyline(plot.drawList(), sub, bottom, kBlue.fill);
    ui::fillUnderPolyline(plot.drawList(), harmonics, bottom, kGreen.fill);
    ui::drawPolyline(plot.drawList(), sub, kBlue.main, 1.5f);
    ui::drawPolyline(plot.drawList(), harmonics, kGreen.main, 1.5f);
}

struct Chip {
    char text[96];
    std::uint32_t colour;
    const char* tooltip;
};

// The readouts laid left to right, each as wide as its text and 16 px apart.
void drawChips(ImDrawList* list, const ui::Rect& row, const std::vector<Chip>& chips) {
    const float s = ui::scale();
    float x = row.x;
    for (const Chip& chip : chips) {
        const float remaining = std::max(row.x + row.w - x, 0.0f);
        const ImVec2 size = ui::measureText(chip.text, 6);
        const float width = std::min(size.x, remaining);
        ui::drawText(list, ui::Rect{x, row.y, width, row.h}, chip.text, 6, chip.colour, 0);
        if (chip.tooltip != nullptr && width > 0.0f && size.y > 0.0f) {
            ImGui::SetCursorScreenPos(ImVec2(x, row.y + (row.h - size.y) * 0.5f));
            ImGui::InvisibleButton(chip.text, ImVec2(width, size.y));
            ui::tooltip(chip.tooltip);
        }
        x += width + 16.0f * s;
    }
}

std::vector<Chip> readoutChips(const Patch& patch, const PlayedValues& played) {
    std::vector<Chip> chips(3);
    chips[0] = {
        {}, kChipText, "Sub against harmonics. The sub is a mono sine and nothing above the line can reach it."};
    std::snprintf(chips[0].text, sizeof chips[0].text, "Weight %.2f", patch.weight);
    chips[1] = {{},
                kChipText,
                "Waveshaping, then feedback phase modulation past the knee. Timbre only: the shaper is "
                "peak-normalised."};
    if (patch.drive - 0.001f > played.drive)
        std::snprintf(chips[1].text, sizeof chips[1].text, "Drive %.2f of %.2f", played.drive, patch.drive);
    else
        std::snprintf(chips[1].text, sizeof chips[1].text, "Drive %.2f", patch.drive);
    chips[2] = {{}, kChipText, nullptr};
    if (patch.tone - 0.001f > played.tone)
        std::snprintf(chips[2].text, sizeof chips[2].text, "Tone %.0f of %.0f Hz", cutoffFromUnit(played.tone),
                      cutoffFromUnit(patch.tone));
    else
        std::snprintf(chips[2].text, sizeof chips[2].text, "Tone %.0f Hz", cutoffFromUnit(patch.tone));
    if (played.sweep > 0.0f) {
        Chip motion{{}, kHint, nullptr};
        std::snprintf(motion.text, sizeof motion.text, "Motion sweeps %.0f to %.0f Hz",
                      cutoffFromUnit(played.tone - played.sweep), cutoffFromUnit(played.tone + played.sweep));
        chips.push_back(motion);
    }
    return chips;
}

}  // namespace

void Editor::drawSpectrumPanel(SpectrumPanelState& state, const ui::Rect& rect, Patch& patch, PatchCurves& curves,
                               double position, std::int32_t note, float sampleRate) {
    const float s = ui::scale();
    ImDrawList* list = ImGui::GetWindowDrawList();
    const float rowHeight = std::min(ui::measureText("Hz", 2).y + 8.0f * s, std::max(rect.h, 0.0f));
    const ui::Rect hintRow{rect.x, rect.y, rect.w, rowHeight};
    const float below = std::max(rect.h - rowHeight, 0.0f);
    const float readoutHeight = std::min(rowHeight, below);
    const ui::Rect readoutRow{rect.x, rect.y + rect.h - readoutHeight, rect.w, readoutHeight};
    const float plotHeight = std::max(below - readoutHeight - 4.0f * s, 0.0f);
    const ui::Rect plotRect{rect.x, rect.y + rowHeight, rect.w, plotHeight};

    ui::PlotAxis xAxis;
    xAxis.kind = ui::PlotAxisKind::logarithmic;
    xAxis.min = kLowHz;
    xAxis.max = kHighHz;
    ui::PlotAxis yAxis;
    yAxis.min = kFloorDb;
    yAxis.max = 0.0f;
    PlayedValues played{};
    {
        ui::Plot plot("spectrum", plotRect, xAxis, yAxis, ui::PlotStyle{});
        const ui::Rect& in = plot.inner();
        const float crossoverX = plot.xAxis().pixelOf(kCrossoverHz);
        ui::Hotspot corner;
        corner.kind = ui::HotspotKind::verticalBar;
        corner.point = ImVec2(plot.xAxis().pixelOf(cutoffFromUnit(patch.tone)), in.y);
        corner.area = in;
        corner.grabRadius = 8.0f;
        corner.dragAxis = ui::DragAxis::x;
        // The corner is drawn last but asked first, so that it wins a press over the plot's own drag.
        const ui::Interaction cornerInput = editByDrag(state, plot, patch, crossoverX, corner);
        corner.point.x = plot.xAxis().pixelOf(cutoffFromUnit(patch.tone));

        played = playedValues(patch, curves, position);
        if (analysisStale(state, patch, curves, note, played))
            analyse(state, patch, curves, position, note, sampleRate, played);

        plot.band(kLowHz, kCrossoverHz, kBlue.faint);
        plot.grid(ui::logTicks(kLowHz, kHighHz), ui::levelTicks(kFloorDb, 0.0f, 20.0f));
        if (played.sweep > 0.0f)
            plot.band(cutoffFromUnit(played.tone - played.sweep), cutoffFromUnit(played.tone + played.sweep),
                      kGreen.faint);
        drawSpectrumCurve(plot, state.spectrum, crossoverX);
        plot.vLine(kCrossoverHz, kCrossoverLine, 1.6f);
        char label[32];
        std::snprintf(label, sizeof label, "%.0f Hz", kCrossoverHz);
        ui::drawTextAt(list, ImVec2(crossoverX + 4.0f * s, in.y + 4.0f * s), label, 0, kLabel);
        const float playedX = plot.xAxis().pixelOf(cutoffFromUnit(played.tone));
        if (std::fabs(playedX - corner.point.x) > 1.0f) plot.vLine(cutoffFromUnit(played.tone), kPlayedTone, 1.0f);
        ui::drawHotspot(list, corner, cornerInput, kCorner, kGreen.main);
    }

    if (patch.weight >= 0.99f)
        ui::drawText(list, hintRow, "Weight is full, so there is nothing above the crossover", 2, kWarning, 0);
    else
        ui::drawText(list, hintRow, "Drag the sub or the harmonics up and down, the corner sideways", 2, kHint, 0);
    drawChips(list, readoutRow, readoutChips(patch, played));
}

}  // namespace tarn
