// A view that draws one of each of the toolkit's visual elements, for reviewing the look as pictures.
#pragma once

#include "ui/bar.h"
#include "ui/button.h"
#include "ui/caption_buttons.h"
#include "ui/document_bar.h"
#include "ui/drag_field.h"
#include "ui/header_bar.h"
#include "ui/icons.h"
#include "ui/page_tabs.h"
#include "ui/panel.h"
#include "ui/param.h"
#include "ui/plot.h"
#include "ui/plot_axis.h"
#include "ui/segment_control.h"
#include "ui/text.h"
#include "ui/toggle.h"
#include "ui/theme.h"
#include "ui/transport_bar.h"
#include "ui/ui_context.h"
#include "ui/view.h"
#include "ui/waveform.h"

#include <imgui.h>

#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::ui::testing {

class GalleryView : public View {
public:
    GalleryView() {
        // A decaying two-partial bass note: something a waveform panel would show.
        samples_.resize(48000);
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            const double t = static_cast<double>(i) / 48000.0;
            samples_[i] = static_cast<float>(
                std::exp(-3.0 * t) * (0.7 * std::sin(2.0 * M_PI * 55.0 * t) + 0.25 * std::sin(2.0 * M_PI * 165.0 * t)));
        }
        peaks_ = WaveformPeaks(samples_, 48000.0);
        for (int i = 0; i < 96; ++i) {
            spectrumX_.push_back(20.0f * std::pow(1000.0f, static_cast<float>(i) / 95.0f));
            spectrumY_.push_back(-12.0f - 30.0f * static_cast<float>(i) / 95.0f +
                                 6.0f * std::sin(static_cast<float>(i) * 0.4f));
        }
    }

    // Rows of text in every role, in the text card; tests read these rows for text-like detail.
    Rect textCard;
    Rect backgroundPatch;    // a bare piece of background, for checking the skin
    bool menusOpen = false;  // the header's menu is opened in the first frame

    void draw(const FrameInfo& frame) override {
        const float s = scale();
        const float gap = 16.0f * s;
        FrameInfo withWindow = frame;
        withWindow.windowControls = &window_;
        const Rect top = drawHeader(withWindow);
        const Rect c{frame.content.x, top.y + top.h + gap, frame.content.w,
                     std::max(frame.content.y + frame.content.h - top.y - top.h - gap, 0.0f)};
        const float half = (c.w - gap) * 0.5f;

        textCard = Rect{c.x, c.y, half, 300.0f * s};
        {
            PanelScope card(textCard, "Text roles", 0);
            float y = card.content.y;
            const char* samples[] = {"Plot title 0 dB", "Compact button", "Normal text in a card",
                                     "Card title",      "128.0",          "mono 0.65",
                                     "mono 440 Hz",     "mono 12:04",     "mono -3.2 dB"};
            for (TextRole role = 0; role < 9; ++role) {
                const ImVec2 size = measureText(samples[role], role);
                drawTextAt(card.list, ImVec2(card.content.x, y), samples[role], role, palette::text);
                y += size.y + 4.0f * s;
            }
            card.dimFromHere();
            drawTextAt(card.list, ImVec2(card.content.x, y), "A dimmed section", 2, palette::text);
        }

        const Rect plotCard{c.x + half + gap, c.y, half, 300.0f * s};
        {
            PanelScope card(plotCard, "Spectrum", 0);
            PlotAxis x{PlotAxisKind::logarithmic, 20.0f, 20000.0f};
            PlotAxis y{PlotAxisKind::linear, -60.0f, 0.0f};
            Plot plot("##gallery.plot", card.content, x, y, PlotStyle{"Level", true, 4.0f});
            plot.grid(logTicks(20.0f, 20000.0f), levelTicks(-60.0f, 0.0f, 12.0f));
            plot.fillUnder(spectrumX_, spectrumY_, -60.0f, 0x408DC63F);
            plot.polyline(spectrumX_, spectrumY_, palette::accent, 1.5f);
        }

        const Rect waveCard{c.x, c.y + 300.0f * s + gap, c.w, 200.0f * s};
        {
            PanelScope card(waveCard, "Waveform", 0);
            PlotAxis x{PlotAxisKind::linear, 0.0f, 1.0f};
            x.pixelFrom = card.content.x;
            x.pixelTo = card.content.x + card.content.w;
            drawWaveform(card.list, card.content, x, peaks_, WaveformStyle{});
        }

        const Rect widgetCard{c.x, waveCard.y + waveCard.h + gap, c.w, 110.0f * s};
        {
            PanelScope card(widgetCard, "Widgets", 0);
            const Rect& w = card.content;
            float x = w.x;
            // Each widget gets a box of its own natural size, in a row.
            const auto place = [&](ImVec2 natural) {
                const Rect box{x, w.y, natural.x, natural.y};
                x += natural.x + gap;
                return box;
            };
            button("##gallery.button", place(buttonSize("Generate", ButtonStyle{})), "Generate", ButtonStyle{});
            ButtonStyle accent;
            accent.kind = ButtonKind::accent;
            button("##gallery.accent", place(buttonSize("Render", accent)), "Render", accent);
            toggle("##gallery.toggle", place(toggleSize("Legato")), "Legato", &legato_, ToggleStyle{});
            const std::array<std::string_view, 3> labels{"Arc", "Motion", "Pattern"};
            segmented("##gallery.segments", place(segmentedSize(labels, SegmentedStyle{})), labels, &page_,
                      SegmentedStyle{});
            DragStyle drag;
            drag.large = true;
            drag.caption = "Drive";
            dragValue("##gallery.drag", place(ImVec2(92.0f * s, 60.0f * s)), drive_, drag);
        }

        const Rect barsCard{c.x, widgetCard.y + widgetCard.h + gap, c.w, 150.0f * s};
        {
            PanelScope card(barsCard, "Bars", 0);
            drawBars(withWindow, card.content);
        }

        const Rect iconCard{c.x, barsCard.y + barsCard.h + gap, c.w, 110.0f * s};
        {
            PanelScope card(iconCard, "Icons", 0);
            drawIcons(card.list, card.content);
        }

        const Rect narrowCard{c.x, iconCard.y + iconCard.h + gap, c.w, 400.0f * s};
        {
            PanelScope card(narrowCard, "Narrow headers", 0);
            drawNarrowHeaders(withWindow, card.content);
        }

        const float below = narrowCard.y + narrowCard.h + 30.0f * s;
        backgroundPatch = Rect{c.x, below, c.w, std::max(c.y + c.h - below, 0.0f)};
    }

private:
    // A window that is maximised, so the caption buttons show Restore.
    struct StillWindow : WindowControls {
        void minimize() override {}
        void toggleMaximize() override {}
        void toggleFullscreen() override {}
        void close() override {}
        bool isMaximized() const override { return true; }
        bool isFullscreen() const override { return false; }
        void setScale(float) override {}
    };

    // The document bar, page tabs and caption buttons in a row; the framed and loose transport below.
    void drawBars(const FrameInfo& frame, const Rect& r) {
        const float s = scale();
        const float row = 36.0f * s;
        const DocumentBarInput document{"Acid Line 7", true, true, true, "Browse"};
        const float docWidth = documentBarWidth(document);
        documentBar("##gallery.document", Rect{r.x, r.y, docWidth, row}, document);
        const std::array<std::string_view, 4> pages{"Arc", "Motion", "Spectrum", "Pattern"};
        const std::array<IconPainter, 4> icons{IconPainter{}, IconPainter{}, IconPainter{}, IconPainter(loopIcon)};
        const float tabsX = r.x + docWidth + 16.0f * s;
        pageTabs("##gallery.tabs", Rect{tabsX, r.y, pageTabsSize(pages, icons).x, row}, pages, tab_, icons);
        captionButtons(frame, Rect{r.x, r.y, r.w, row});

        TransportState playing;
        playing.playing = playing.recording = playing.looping = true;
        playing.position = 37.5;
        TransportOptions framed;
        framed.showRewind = framed.showRecord = framed.showLoop = framed.showPosition = true;
        framed.swing = &swing_;
        framed.framed = true;
        const float second = r.y + row + 12.0f * s;
        const ImVec2 framedSize = transportBarSize(framed);
        transportBar("##gallery.framed", Rect{r.x, second, framedSize.x, framedSize.y}, playing, tempo_, framed);
        TransportOptions loose;
        loose.showRewind = loose.showPosition = true;
        loose.tempoMode = 1;
        const ImVec2 looseSize = transportBarSize(loose);
        transportBar("##gallery.loose", Rect{r.x + framedSize.x + 16.0f * s, second, looseSize.x, looseSize.y},
                     TransportState{}, tempo_, loose);
    }

    // The header of an editor-like window across the top: a preset as the document, four pages, the
    // transport and the application's commands.
    Rect drawHeader(const FrameInfo& frame) {
        const HeaderModel model = headerModel();
        const Rect r{frame.content.x, frame.content.y, frame.content.w, headerHeight(model)};
        drawHeaderIn(frame, r, model);
        if (menusOpen && !menuOpened_) {
            // As a click on the menu button does: the popup opens below it from the next frame on.
            ImGui::PushID("tarn.header");
            ImGui::PushID("menu");
            openMenuPopup("menu", ImVec2(r.x + 4.0f * scale(), r.y + 34.0f * scale() + 4.0f * scale()));
            ImGui::PopID();
            ImGui::PopID();
            menuOpened_ = true;
        }
        return r;
    }

    HeaderModel headerModel() {
        static const std::vector<NamedList> session{{"tarnlode session", {"json"}}};
        static const MenuCommand commands[] = {
            {0, MenuItem("Open session...", 4, false, true, ""), 1, session, true},
            {3, MenuItem("Save session...", 3, false, true, ""), 2, session, false},
            {3, MenuItem("Export MIDI...", 1, false, true, ""), 2, {{"MIDI file", {"mid"}}}, false},
            {3, MenuItem("Export WAV...", 2, false, true, ""), 2, {{"WAV audio", {"wav"}}}, false}};
        static const std::string_view pages[] = {"Arc", "Motion", "Spectrum", "Pattern"};
        HeaderModel model;
        model.appName = "tarnlode";
        model.version = "0.1.3";
        model.document = HeaderDocument{1, "Patch", "Acid Line 7", "", true, true, true, true, true, {}, ""};
        model.status = StatusLine{"Opened acid-session.json", "", 0, "No audio", "ALSA: no device", 1, 2};
        model.pages = pages;
        model.page = tab_;
        TransportOptions options;
        options.showRewind = options.showPosition = options.spaceTogglesPlay = true;
        model.transport = HeaderTransport{TransportState{true, false, false, 9.5, 4, 4}, &tempo_, options};
        model.reserveArea = true;
        model.reserveWidth = segmentedSize(kLines, SegmentedStyle{}).x;
        model.commands = commands;
        model.uiScale = 1.25f;
        return model;
    }

    // The header in r, and the line choice in its free area as the editor draws it: whole or not at all.
    void drawHeaderIn(const FrameInfo& frame, const Rect& r, const HeaderModel& model) {
        const HeaderResult result = header(frame, r, model);
        const float width = segmentedSize(kLines, SegmentedStyle{}).x;
        if (result.area.w < width - 0.01f) return;
        const Rect choice{result.area.x + result.area.w - width, result.area.y, width, result.area.h};
        const RectClip clip(choice);
        segmented("notes", choice, kLines, &line_, SegmentedStyle{});
    }

    // The header of windows 320 to 960 px wide at UI size 200 %, narrower than the window's least size,
    // as a tiling window manager may make it: at the picture's scale 2 they are those headers exactly.
    void drawNarrowHeaders(const FrameInfo& frame, const Rect& r) {
        const float s = scale();
        const HeaderModel model = headerModel();
        float y = r.y;
        for (const int window : {320, 480, 700, 960}) {
            const std::string caption = std::to_string(window) + " px at 200 %";
            drawText(ImGui::GetWindowDrawList(), Rect{r.x, y, 120.0f * s, 36.0f * s}, caption, 2, palette::mutedText,
                     0);
            // The window's logical width less the root window's 25 px border at each side.
            const float width = (static_cast<float>(window) / 2.0f - 50.0f) * s;
            ImGui::PushID(window);
            drawHeaderIn(frame, Rect{r.x + 130.0f * s, y, width, headerHeight(model)}, model);
            ImGui::PopID();
            y += headerHeight(model) + 12.0f * s;
        }
    }

    // Every vector icon at 16 and 32 px, in the muted and the light text colour.
    static void drawIcons(ImDrawList* list, const Rect& r) {
        const float s = scale();
        const IconPainter icons[] = {chevronLeft,  chevronRight, closeIcon,    undoIcon, redoIcon,
                                     maximiseIcon, restoreIcon,  minimiseIcon, menuIcon, saveIcon,
                                     playIcon,     stopIcon,     rewindIcon,   loopIcon, recordDot};
        float x = r.x;
        for (const IconPainter& icon : icons) {
            icon(list, Rect{x, r.y + 8.0f * s, 16.0f * s, 16.0f * s}, toImColor(palette::mutedText));
            icon(list, Rect{x, r.y + 32.0f * s, 32.0f * s, 32.0f * s}, toImColor(palette::text));
            x += 40.0f * s;
        }
    }

    static constexpr std::array<std::string_view, 2> kLines{"Demo line", "Pattern"};
    StillWindow window_;
    int tab_ = 1;
    int line_ = 1;
    bool menuOpened_ = false;
    float bpmValue_ = 120.0f;
    FloatParam tempo_{&bpmValue_, tempoSpec(), FloatParamHooks{}};
    float swingValue_ = 0.56f;
    FloatParam swing_{&swingValue_, FloatParamSpec{}, FloatParamHooks{}};

    static FloatParamSpec tempoSpec() {
        FloatParamSpec spec;
        spec.label = "Tempo";
        spec.min = 40.0f;
        spec.max = 240.0f;
        spec.defaultValue = 120.0f;
        spec.decimals = 0;
        return spec;
    }

    bool legato_ = true;
    int page_ = 1;
    float driveValue_ = 0.65f;
    FloatParam drive_{&driveValue_, driveSpec(), FloatParamHooks{}};

    static FloatParamSpec driveSpec() {
        FloatParamSpec spec;
        spec.label = "Drive";
        spec.defaultValue = 0.65f;
        return spec;
    }
    std::vector<float> samples_;
    WaveformPeaks peaks_;
    std::vector<float> spectrumX_;
    std::vector<float> spectrumY_;
};

}  // namespace tarn::ui::testing
