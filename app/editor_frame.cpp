// The editor's frame: play position, layout of the strips and the canvas, the line update and the
// render strip, and the patch handed to the player every frame.
#include "app/editor.h"

#include "app/block_heights.h"
#include "engine/demo_line.h"
#include "ui/button.h"
#include "ui/panel.h"
#include "ui/placement.h"
#include "ui/text.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarn {
namespace {

constexpr std::uint32_t kNoteColour = 0xFF8A8870;
constexpr float kScrollbarApart = 4.0f;  // logical px between the blocks and the page's scrollbar

// Takes up to `height` pixels off the bottom of the area; the piece never has a negative size.
ui::Rect takeBottom(ui::Rect& area, float height) {
    const float h = std::clamp(height, 0.0f, std::max(area.h, 0.0f));
    area.h -= h;
    return ui::Rect{area.x, area.y + area.h, std::max(area.w, 0.0f), std::max(h, 0.0f)};
}

// Bars of four beats in one pass of the phrase arc; a length of 0 counts as one bar.
double phraseBars(const Patch& patch) { return patch.arcBars > 0.0f ? static_cast<double>(patch.arcBars) : 1.0; }

bool sameNote(const NoteEvent& a, const NoteEvent& b) {
    return a.start == b.start && a.length == b.length && a.velocity == b.velocity && a.note == b.note;
}

}  // namespace

bool sameLine(const std::vector<NoteEvent>& a, const std::vector<NoteEvent>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameNote);
}

std::int32_t lowestSpectrumNote(const std::vector<NoteEvent>& line) {
    std::int32_t lowest = 36;
    for (const NoteEvent& n : line) lowest = std::min(lowest, n.note);
    return lowest;
}

bool samePatchBits(const Patch& a, const Patch& b) {
    static_assert(sizeof(Patch) == sizeof(float) * (kPatchParamCount + kCurveCount * kCurvePoints),
                  "a patch is floats only, so comparing its bytes compares every value bit for bit");
    return std::memcmp(&a, &b, sizeof(Patch)) == 0;
}

void Editor::draw(const ui::FrameInfo& frame) {
    // While a seek waits for the audio thread the player still reports where it was; the position
    // the seek asked for stays until the player has taken it.
    if (audio.isOpen()) {
        if (!player.seekPending()) position = player.position();
    } else if (playing && !headless) {
        position += static_cast<double>(tempo) / 60.0 * static_cast<double>(frame.dt);
    }

    const double phase = position / 4.0 / phraseBars(patch);
    const AudioConfig config{48000.0f, tempo, 64};
    const float s = ui::scale();
    ui::Rect area = frame.content;

    drawHeader(frame, area, config);
    adoptFinishedOpen(config);
    adoptFinishedRender();
    adoptFinishedExport();

    const float headerGap = std::clamp(std::min(10.0f * s, area.h), 0.0f, std::max(area.h, 0.0f));
    area.y += headerGap;
    area.h -= headerGap;

    update(config);

    // Under the header the blocks share what height there is; where even their least does not fit, they
    // stand on a page that scrolls, with the wheel and a scrollbar, under a header that stays.
    const BlockHeights heights = shareHeight(std::max(area.h, 0.0f), s);
    if (!heights.scrolls) {
        drawBlocks(area, heights, phase, config);
    } else if (area.w >= 1.0f && area.h >= 1.0f) {
        // The scrollbar stands in the window's margin, clear of its resize border, so that the blocks
        // keep the width they have in a window tall enough for them.
        const float bar = ImGui::GetStyle().ScrollbarSize;
        const ui::ChildRegion page = ui::beginScrollRegion(
            "page", ui::Rect{area.x, area.y, area.w + kScrollbarApart * s + bar, area.h}, heights.page);
        drawBlocks(ui::Rect{area.x, page.content.y, area.w, heights.page}, heights, phase, config);
        ui::endScrollRegion(page);
    } else {
        canvasRect = renderStripRect = waveformRect = voiceStripRect = ui::Rect{area.x, area.y, area.w, 0.0f};
    }

    player.publishPatch(patch);
}

void Editor::drawBlocks(ui::Rect page, const BlockHeights& heights, double phase, const AudioConfig& config) {
    // Stacked from the bottom: voice strip, waveform, render strip, canvas; on screen the canvas comes
    // first under the header.
    voiceStripRect = takeBottom(page, heights.voiceStrip);
    drawVoiceStrip(voiceStripRect, patch);
    takeBottom(page, heights.gap);
    waveformRect = takeBottom(page, heights.waveform);
    // A scrub moves what is heard, not just the cursor: the player seeks to the beat under the mouse.
    if (drawWaveform(waveformLeft, waveformRight, waveformRect, config, patch.arcBars * 4.0f, loopBeats, position))
        player.requestSeek(std::max(0.0, position));
    takeBottom(page, heights.gap);
    renderStripRect = takeBottom(page, heights.renderStrip);
    drawRenderStrip(renderStripRect, config);
    takeBottom(page, heights.gap);
    canvasRect = takeBottom(page, heights.canvas);
    drawCanvas(canvasRect, phase, config);
}

void Editor::update(const AudioConfig& config) {
    if (!dirty) return;
    Pattern line = pattern;
    if (patternDrives) {
        if (loopBar >= 0 && static_cast<std::size_t>(loopBar) < line.bars.size()) {
            // The bar alone; the kick masks are not part of the line.
            std::vector<PatternNote> bar = std::move(line.bars[static_cast<std::size_t>(loopBar)]);
            line.bars.assign(1, std::move(bar));
        }
        notes = patternToNotes(line);
    } else {
        notes.assign(demoLine.begin(), demoLine.end());
    }

    loopBeats = loopLengthBeats(line, config);

    if (audio.isOpen()) {
        // An empty line goes out too, with its loop: the player lets the old line go and counts
        // the loop on in silence, so what is heard is what the roll shows, and the next note
        // written plays in its place. The player runs at the device's own rate, which may differ
        // from the config's.
        std::vector<PlayEvent> events = notesToEvents(notes.data(), notes.size(), 0.0, player.framesPerBeat(), 1.0f);
        sortPlayEvents(events);
        player.publishEvents(events.data(), events.size(), loopLengthFrames(line, player.config()));
    }
    dirty = false;
}

std::int64_t Editor::loopLengthFrames(const Pattern& linePattern, const AudioConfig& config) const {
    if (!patternDrives) return phraseLengthSamples(notes.data(), notes.size(), config);
    const double beats = static_cast<double>(linePattern.bars.size()) * kStepsPerBar * 0.25;
    return truncSaturating(beats * framesPerBeat(config));
}

double Editor::loopLengthBeats(const Pattern& linePattern, const AudioConfig& config) const {
    const double perBeat = framesPerBeat(config);
    return perBeat > 0.0 ? static_cast<double>(loopLengthFrames(linePattern, config)) / perBeat : 0.0;
}

void Editor::drawCanvas(ui::Rect area, double phase, const AudioConfig& config) {
    // A canvas squeezed to nothing draws nothing: a child window of no height would fill the rest
    // of the window instead, over the strips below, and take their clicks.
    const float s = ui::scale();
    if (area.w <= 20.0f * s || area.h <= 20.0f * s) return;
    const ui::Rect inner = ui::panel(ImGui::GetWindowDrawList(), area, "", 0);

    // Every tab draws in a child window of the inner size, so nothing it draws or reacts to reaches
    // past the canvas, however short the window.
    const ui::FontScope font(2);
    ImGui::SetCursorScreenPos(ImVec2(inner.x, inner.y));
    ImGui::BeginChild("canvas", ImVec2(inner.w, inner.h), false, ImGuiWindowFlags_NoBackground);
    if (selectedTab == 0) {
        if (drawArcPanel(arcPanel, patch, patch.curves, phase)) {
            position = arcPanel.seekPhase * 4.0 * phraseBars(patch);
            player.requestSeek(std::max(0.0, position));
        }
    } else if (selectedTab == 1) {
        drawMotionPanel(motionPanel, patch, patch.curves, position);
    } else if (selectedTab == 2) {
        const float rate = audio.isOpen() ? audio.sampleRate() : config.sampleRate;
        drawSpectrumPanel(spectrumPanel, inner, patch, patch.curves, position, lowestSpectrumNote(notes), rate);
    } else if (selectedTab == 3) {
        // The playhead is only meaningful while the pattern is what plays.
        const std::optional<double> playhead =
            patternDrives && loopBeats > 0.0 ? std::optional<double>(std::fmod(position, loopBeats)) : std::nullopt;
        if (drawPatternPanel(patternPanel, pattern, playhead)) {
            patternDrives = true;
            dirty = true;
        }
        if (patternPanel.loopBar != loopBar) {
            loopBar = patternPanel.loopBar;
            patternDrives = true;
            dirty = true;
        }
    }
    ImGui::EndChild();
}

bool Editor::renderIsStale() const {
    if (!hasRender) return false;
    return !samePatchBits(patch, renderedPatch) || !sameLine(notes, renderedNotes);
}

void Editor::drawRenderStrip(ui::Rect area, const AudioConfig& config) {
    const bool stale = renderIsStale();
    const char* label = hasRender ? "Re-render" : "Render";
    ui::ButtonStyle style;
    style.kind = stale ? ui::ButtonKind::danger : ui::ButtonKind::normal;
    style.alignX = 1;
    const float width = std::clamp(ui::buttonSize(label, style).x, 0.0f, std::max(area.w, 0.0f));
    const ui::Rect buttonRect{area.x, area.y, width, area.h};
    if (ui::button("render", buttonRect, label, style) && !notes.empty()) startRender(config);
    area.x += width;
    area.w -= width;

    const float gap = std::min(16.0f * ui::scale(), std::max(area.w, 0.0f));
    area.x += gap;
    area.w -= gap;
    ui::drawText(ImGui::GetWindowDrawList(), area, stale ? "edited since this was rendered" : "", 2, kNoteColour, 0);
}

}  // namespace tarn
