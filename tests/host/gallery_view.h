// A view that draws one of each of the toolkit's visual elements, for reviewing the look as pictures.
#pragma once

#include "ui/button.h"
#include "ui/drag_field.h"
#include "ui/panel.h"
#include "ui/param.h"
#include "ui/plot.h"
#include "ui/plot_axis.h"
#include "ui/segment_control.h"
#include "ui/text.h"
#include "ui/toggle.h"
#include "ui/theme.h"
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
            samples_[i] = static_cast<float>(std::exp(-3.0 * t) *
                                             (0.7 * std::sin(2.0 * M_PI * 55.0 * t) + 0.25 * std::sin(2.0 * M_PI * 165.0 * t)));
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
    Rect backgroundPatch;  // a bare piece of background, for checking the skin

    void draw(const FrameInfo& frame) override {
        const Rect& c = frame.content;
        const float s = scale();
        const float gap = 16.0f * s;
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

        const float below = widgetCard.y + widgetCard.h + 30.0f * s;
        backgroundPatch = Rect{c.x, below, c.w, std::max(c.y + c.h - below, 0.0f)};
    }

private:
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
