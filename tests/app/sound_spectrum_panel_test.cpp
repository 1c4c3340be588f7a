// The spectrum tab: weight, drive and tone dragged on the plot, and the analysis redone only when it must.
#include "app/editor.h"
#include "engine/display_mappings.h"
#include "tests/app/panel_frames.h"
#include "tests/ui/frame_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace tarn {
namespace {

// The pixel of a frequency on the plot's 30 Hz to 12 kHz axis, `up` of its height above the middle.
ImVec2 frequency(const ui::Rect& plot, float hz, float up = 0) {
    return ImVec2(std::floor(plot.x + plot.w * std::log(hz / 30) / std::log(400.0f)), plot.y + plot.h * (0.5f - up));
}

TEST(SpectrumPanel, DragsBelowTheCrossoverSetWeightAboveItDriveAndTheCornerSetsTone) {
    // From weight 0.55, drive 0.7 and the corner at 640 Hz; `up` in heights of the plot.
    // clang-format off
    const struct { const char* name; float pressHz, toHz, up, weight, drive, toneHz; } cases[] = {
        {"the sub up raises weight",           60,   60,   0.25f, 0.8f,  0.7f,  640},
        {"the harmonics up raise drive",       1000, 1000, 0.25f, 0.55f, 0.95f, 640},
        {"the harmonics down stop drive at 0", 1000, 1000, -1.5f, 0.55f, 0,     640},
        {"the corner dragged to 2 kHz",        640,  2000, 0,     0.55f, 0.7f,  2000},
    };
    // clang-format on
    for (const auto& c : cases) {
        testing::EditorTab tab(2);
        tab.run();
        const ui::Rect r = tab.boxes(0xb30d1108, tab.editor.canvasRect).at(0);
        tab.run(testing::drag(frequency(r, c.pressHz), {frequency(r, c.toHz, c.up / 2), frequency(r, c.toHz, c.up)}));
        EXPECT_NEAR(tab.editor.patch.weight, c.weight, 1.5f / r.h) << c.name;
        EXPECT_NEAR(tab.editor.patch.drive, c.drive, 1.5f / r.h) << c.name;
        EXPECT_NEAR(cutoffFromUnit(tab.editor.patch.tone), c.toneHz, c.toneHz * 0.01f) << c.name;
        tab.expectHandedOn();
    }
}

TEST(SpectrumPanel, AnalysesAgainOnlyWhenTheNoteThePatchOrTheArcMoved) {
    // clang-format off
    const struct { const char* name; void (*change)(Editor&); unsigned analyses; } cases[] = {
        {"idle frames",                  [](Editor&) {},                                     0},
        {"a value the spectrum ignores", [](Editor& e) { e.patch.legato = 0; },              1},
        {"a lower note in the line",     [](Editor& e) { e.notes[4].note = 24; },            1},
        {"the tone arc moved by 0.016",  [](Editor& e) { e.position = 0.25; },               0},
        {"the tone arc moved by 0.032",  [](Editor& e) { e.position = 0.5; },                1},
    };
    // clang-format on
    for (const auto& c : cases) {
        testing::EditorTab tab(2);
        // The tone lane rises over the phrase and is played exactly as drawn.
        tab.editor.patch.arcDrift = 0;
        tab.editor.patch.arcAmount = 1;
        curveRamp(tab.editor.patch.curves.curve(kFirstArcCurve + 1));
        tab.run();
        ASSERT_EQ(tab.editor.spectrumPanel.analyses, 1u);
        c.change(tab.editor);
        tab.run();
        EXPECT_EQ(tab.editor.spectrumPanel.analyses, 1 + c.analyses) << c.name;
    }
}

// Hovered past the tooltip delay, each readout under the plot explains its own value and no other's.
TEST(SpectrumPanel, EachReadoutExplainsItselfOnHover) {
    const char* const weight = "Sub against harmonics.";
    const char* const drive = "Waveshaping, then feedback phase modulation";
    // clang-format off
    const struct { const char* chip; const char* explains; const char* notExplained; } cases[] = {
        {"Weight 0.50", weight, drive},
        {"Drive 0.25",  drive,  weight},
    };
    // clang-format on
    for (const auto& c : cases) {
        testing::EditorTab tab(2);
        tab.editor.patch.weight = 0.5f;
        tab.editor.patch.drive = 0.25f;
        tab.editor.patch.arcAmount = 0.0f;  // the readouts show the patch's own values
        tab.run();
        const std::optional<ui::Rect> chip = tab.frames.findText(c.chip);
        ASSERT_TRUE(chip) << c.chip;
        const testing::WidgetInput hover = testing::at(testing::EditorFrames::centre(*chip));
        for (int i = 0; i < 60; ++i) tab.frames.frame(tab.editor, hover);
        std::string logged;
        tab.frames.frameWith(hover, [&](const ui::FrameInfo& info) {
            logged = ui::testing::loggedText([&] { tab.editor.draw(info); });
        });
        EXPECT_NE(logged.find(c.explains), std::string::npos) << c.chip;
        EXPECT_EQ(logged.find(c.notExplained), std::string::npos) << c.chip;
    }
}

TEST(SpectrumPanel, APanelTooNarrowForTheSubStillDrawsTheHarmonics) {
    testing::EditorTab tab(2);
    Editor& e = tab.editor;
    tab.frames.frameWith({}, [&](const ui::FrameInfo&) {
        Editor::drawSpectrumPanel(e.spectrumPanel, {10, 60, 0, 300}, e.patch, e.patch.curves, 0, 36, 48000);
    });
    EXPECT_TRUE(e.spectrumPanel.valid);
}

}  // namespace
}  // namespace tarn
