// The editor's header: its name, the preset as the document, the status with its "No audio" notice,
// the tabs, the transport, the file commands of the menu, and the choice of the line that plays.
#include "app/editor.h"

#include "ui/bar.h"
#include "ui/header_bar.h"
#include "ui/segment_control.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>
#include <string_view>

namespace tarn {
namespace {

constexpr std::array<std::string_view, 4> kPages = {"Arc", "Motion", "Spectrum", "Pattern"};
constexpr std::array<std::string_view, 2> kLineChoices = {"Demo line", "Pattern"};

ui::SegmentedStyle lineChoiceStyle() {
    ui::SegmentedStyle style;
    style.alignX = 1;
    return style;
}

ui::MenuCommand fileCommand(std::uint32_t menu, const char* label, std::uint32_t command, std::uint32_t dialog,
                            const char* filterName, const char* extension, bool discardsChanges) {
    ui::MenuCommand item;
    item.menu = menu;
    item.item = ui::MenuItem(label, static_cast<std::int32_t>(command), false, true, "");
    item.dialog = dialog;
    item.filters = {ui::NamedList{filterName, {extension}}};
    item.discardsChanges = discardsChanges;
    return item;
}

// Open joins the document's section and asks before discarding changes; the rest are the
// application's own, each through a save dialog.
std::span<const ui::MenuCommand> menuCommands() {
    static const std::array<ui::MenuCommand, 4> commands = {
        fileCommand(0, "Open session...", kOpenSessionCommand, 1, "tarnlode session", "json", true),
        fileCommand(3, "Save session...", kSaveSessionCommand, 2, "tarnlode session", "json", false),
        fileCommand(3, "Export MIDI...", kExportMidiCommand, 2, "MIDI file", "mid", false),
        fileCommand(3, "Export WAV...", kExportWavCommand, 2, "WAV audio", "wav", false),
    };
    return commands;
}

}  // namespace

void Editor::drawHeader(const ui::FrameInfo& frame, ui::Rect& area, const AudioConfig& config) {
    const PresetEntry* current = currentPreset();
    ui::HeaderModel model;
    model.appName = "tarnlode";
    model.version = "0.1.3";
    ui::HeaderDocument document;
    document.kind = 1;
    document.kindLabel = "Patch";
    document.name = current != nullptr ? std::string_view(current->name) : std::string_view();
    document.modified = !samePatchBits(patch, baselinePatch);
    document.canStep = document.browsable = document.canSave = document.confirmDiscard = true;
    model.document = std::move(document);
    model.status.text = status;
    model.status.level = statusKind;
    if (!audio.isOpen() && !audio.error().empty()) {
        model.status.overrideText = "No audio";
        model.status.overrideDetail = audio.error();
        model.status.overrideLevel = 1;
    }
    model.status.align = 2;
    model.pages = kPages;
    model.page = static_cast<std::int32_t>(selectedTab);

    ui::HeaderTransport transport;
    transport.state.playing = playing;
    transport.state.position = position;
    transport.tempo = &tempoParam;
    transport.options.showRewind = true;
    transport.options.showPosition = true;
    transport.options.spaceTogglesPlay = true;
    if (audio.isOpen()) {
        // The player's events are timed for the tempo it started with, so live audio fixes the tempo.
        char note[64];
        std::snprintf(note, sizeof note, "Fixed at %.0f while live audio is running.", static_cast<double>(tempo));
        tempoNote = note;
        transport.options.tempoMode = 1;
        transport.options.tempoTooltip = tempoNote.c_str();
    }
    model.transport = transport;
    model.reserveArea = true;
    model.reserveWidth = ui::segmentedSize(kLineChoices, lineChoiceStyle()).x;
    model.commands = menuCommands();
    model.uiScale = uiScale;

    const float height = std::clamp(ui::headerHeight(model, std::max(area.w, 0.0f)), 0.0f, std::max(area.h, 0.0f));
    const ui::Rect rect{area.x, area.y, std::max(area.w, 0.0f), height};
    area.y += height;
    area.h -= height;
    const ui::HeaderResult result = ui::header(frame, rect, model);

    actOnHeader(result, frame, config);
    drawPresets(result.documentArea);
    drawLineChoice(result.area);
}

void Editor::actOnHeader(const ui::HeaderResult& result, const ui::FrameInfo& frame, const AudioConfig& config) {
    if (result.page) selectedTab = static_cast<std::uint32_t>(*result.page);
    if (result.transport.playToggled) {
        playing = !playing;
        player.setPlaying(playing);
    }
    if (result.transport.rewind) {
        position = 0.0;
        player.requestSeek(0.0);
    }
    if (result.uiScale) {
        uiScale = *result.uiScale;
        if (frame.windowControls != nullptr) frame.windowControls->setScale(uiScale);
    }
    if (result.commandFile) runFileCommand(*result.commandFile, config);
    if (result.action) initPresetsStrip(static_cast<std::uint32_t>(*result.action));
}

void Editor::drawLineChoice(const ui::Rect& free) {
    const ui::SegmentedStyle style = lineChoiceStyle();
    const float width = ui::segmentedSize(kLineChoices, style).x;
    // Shrunk to fit, its labels would soon be too small to read: it is shown whole or not at all (the
    // header keeps room for it as long as it can; a hundredth of a pixel is the header's rounding).
    if (free.w < width - 0.01f) return;
    const ui::Rect piece{free.x + free.w - width, free.y, width, free.h};
    const ui::RectClip clip(piece);
    int choice = patternDrives ? 1 : 0;
    if (ui::segmented("notes", piece, kLineChoices, &choice, style)) {
        patternDrives = choice == 1;
        dirty = true;
    }
}

}  // namespace tarn
