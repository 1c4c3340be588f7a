// The offline render of the phrase and the waveform panel that shows it on a beat axis.
#include "app/editor.h"
#include "engine/offline_render.h"
#include "ui/plot.h"
#include "ui/text.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace tarn {
namespace {

constexpr std::string_view kPrompt = "Render to hear the phrase";
constexpr std::uint32_t kPromptColour = 0xFF8A8870;
constexpr std::uint32_t kPhraseLineColour = 0x40C8D8A8;
constexpr std::uint32_t kZeroLineColour = 0x1CC8D8A8;
constexpr std::uint32_t kWaveColour = 0xFF8DC63F;
constexpr std::uint32_t kPastLoopColour = 0x990E1208;

// The beat the scrub last sought. A mouse held still must not seek again: every seek releases what
// sounds, so a note starting just after the mouse would restart on every frame.
struct ScrubState {
    double beat = -1.0;
};

}  // namespace

void Editor::renderPhrase(const AudioConfig& config) {
    OfflineRender render(patch, patch.curves.data(), notes.data(), notes.size(), config,
                         renderLengthFrames(notes.data(), notes.size(), config));
    if (std::optional<StereoPeaks> peaks = summariseRender(render, config.sampleRate))
        adoptRender({std::move(*peaks), patch, notes});
}

void Editor::startRender(const AudioConfig& config) { backgroundRender.start(renderWork(patch, notes, config)); }

void Editor::adoptFinishedRender() {
    if (std::optional<FinishedRender> finished = backgroundRender.take()) adoptRender(std::move(*finished));
}

void Editor::adoptRender(FinishedRender render) {
    // A render still on its way was made from an older line: it must not replace this one.
    backgroundRender.cancel();
    waveformLeft = std::move(render.peaks.left);
    waveformRight = std::move(render.peaks.right);
    renderedPatch = render.patch;
    renderedNotes = std::move(render.notes);
    hasRender = true;
}

bool Editor::drawWaveform(const ui::WaveformPeaks& left, const ui::WaveformPeaks& right, const ui::Rect& rect,
                          const AudioConfig& render, float phraseBeats, double loopBeatsIn, double& positionInOut) {
    const float s = ui::scale();
    const ui::PlotStyle style{"", true, 0.0f};
    const ui::PlotAxis level{ui::PlotAxisKind::linear, -1.0f, 1.0f};
    if (left.sampleCount == 0) {
        const ui::Plot plot("waveform", rect, ui::PlotAxis{ui::PlotAxisKind::linear, 0.0f, 1.0f}, level, style);
        const ui::Rect& inner = plot.inner();
        const float inset = 8.0f * s;
        const ui::Rect box{inner.x + inset, inner.y + inset, std::max(inner.w - 2.0f * inset, 0.0f),
                           std::max(inner.h - 2.0f * inset, 0.0f)};
        // A line of text cut through its letters says nothing: in a box too short for it, none is drawn.
        if (box.h >= ui::measureText(kPrompt, 2).y) ui::drawText(plot.drawList(), box, kPrompt, 2, kPromptColour, 0);
        return false;
    }

    const double perBeat = framesPerBeat(render);
    const double length = perBeat > 0.0 ? static_cast<double>(left.sampleCount) / perBeat : 0.0;
    const auto lengthAxis = static_cast<float>(length);
    ui::Plot plot("waveform", rect, ui::PlotAxis{ui::PlotAxisKind::linear, 0.0f, lengthAxis}, level, style);

    const int maxTicks = std::max(static_cast<int>(std::floor(rect.w / (48.0f * s))), 2);
    plot.grid(ui::barTicks(0.0, length, maxTicks, ui::TimeSignature{4, 4}), {});

    // One line per phrase pass; a phrase narrower than a pixel would only fill the plot.
    if (phraseBeats > 0.0f && length > phraseBeats && length / phraseBeats <= plot.inner().w) {
        for (int k = 1; k * static_cast<double>(phraseBeats) < length; ++k)
            plot.vLine(static_cast<float>(k * static_cast<double>(phraseBeats)), kPhraseLineColour, 1.6f);
    }
    plot.hLine(0.0f, kZeroLineColour, 1.0f);

    ui::WaveformStyle wave;
    wave.colour = kWaveColour;
    wave.gain = 0.84f;
    wave.level = 1.0f;
    wave.secondsPerUnit = 60.0 / static_cast<double>(render.tempo);  // the x axis counts beats
    ui::drawWaveform(plot.drawList(), plot.inner(), plot.xAxis(), right, wave);
    ui::drawWaveform(plot.drawList(), plot.inner(), plot.xAxis(), left, wave);

    double cursor = positionInOut;
    if (loopBeatsIn > 0.0) {
        // The live loop wraps before it reaches what lies past its end, such as the release tail.
        if (length > loopBeatsIn) plot.band(static_cast<float>(loopBeatsIn), lengthAxis, kPastLoopColour);
        cursor = std::fmod(positionInOut, loopBeatsIn);
    }
    plot.playhead(static_cast<float>(std::clamp(cursor, 0.0, length)));

    const ui::PlotInput input = plot.interact();
    if (!input.held) return false;
    positionInOut = input.mouseData.x;
    const std::shared_ptr<ScrubState> scrub = ui::contextState<ScrubState>(ui::stateTag("SCRB"));
    const bool moved = input.pressed || scrub->beat != positionInOut;
    scrub->beat = positionInOut;
    return moved;
}

}  // namespace tarn
