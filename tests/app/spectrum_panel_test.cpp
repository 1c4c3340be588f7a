// The spectrum tab: weight, drive and tone dragged on the plot, and the analysis redone only when it must.
#include "app/editor.h"
#include "engine/display_mappings.h"
#include "engine/starting_sound.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace tarn {
namespace {

using testing::moved;

struct SpectrumTab {
    Patch patch = startingSound();
    SpectrumPanelState state;
    double position = 0.0;
    std::int32_t note = 36;
    testing::PanelFrames frames{ui::Rect{10, 60, 880, 560}, false};

    testing::Drawn run(const std::vector<testing::FrameInput>& in) {
        return frames.run(in, [&] {
            Editor::drawSpectrumPanel(state, ui::Rect{10, 60, 880, 560}, patch, patch.curves, position, note, 48000);
        });
    }
    ui::Rect plot() { return testing::boxesOfColour(run({}), 0xb30d1108).at(0); }
};

// The pixel of a frequency on the plot's 30 Hz to 12 kHz axis, halfway up.
ImVec2 frequency(const ui::Rect& plot, float hz) {
    return ImVec2(std::floor(plot.x + plot.w * std::log(hz / 30.0f) / std::log(400.0f)), plot.y + plot.h / 2);
}

TEST(SpectrumPanel, DragsBelowTheCrossoverSetWeightAboveItDriveAndTheCornerSetsTone) {
    struct Case {
        const char* name;
        float pressHz, toHz, dy;  // dy: pixels moved up
        std::function<float(const Patch&)> field;
        float expectedFromStart;  // change in pixels of the plot's height; NaN: see `hz`
        float hz;                 // the corner's cutoff afterwards
    };
    const float none = std::nanf("");
    const auto weight = [](const Patch& p) { return p.weight; };
    const auto drive = [](const Patch& p) { return p.drive; };
    const Case cases[] = {
        {"the sub up raises weight", 60, 60, 56, weight, 56, none},
        {"the harmonics up raise drive", 1000, 1000, 56, drive, 56, none},
        {"the harmonics down stop drive at 0", 1000, 1000, -600, drive, -1e9f, none},
        {"the corner dragged to 2 kHz", cutoffFromUnit(0.5f), 2000, 0, nullptr, none, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpectrumTab tab;
        const Patch start = tab.patch;
        const ui::Rect r = tab.plot();
        const ImVec2 to = moved(frequency(r, c.toHz), 0, -c.dy);
        tab.run(testing::drag(frequency(r, c.pressHz), {moved(frequency(r, c.pressHz), 0, -c.dy / 2), to}));
        const float got = c.field ? c.field(tab.patch) : cutoffFromUnit(tab.patch.tone);
        const float want = c.field ? std::max(c.field(start) + c.expectedFromStart / r.h, 0.0f) : c.hz;
        EXPECT_NEAR(got, want, c.field ? 1e-5f : c.hz * 0.01f);
        EXPECT_EQ(tab.patch.tone != start.tone, !c.field);
        EXPECT_EQ(tab.patch.weight != start.weight, c.field && c.pressHz < 120);
        EXPECT_EQ(tab.patch.drive != start.drive, c.field && c.pressHz > 120);
    }
}

TEST(SpectrumPanel, AnalysesAgainOnlyWhenTheNoteThePatchOrTheArcMoved) {
    struct Case {
        const char* name;
        std::function<void(SpectrumTab&)> change;
        int analyses;
    };
    const Case cases[] = {
        {"idle frames", [](SpectrumTab&) {}, 0},
        {"a value the spectrum ignores", [](SpectrumTab& t) { t.patch.legato = 0; }, 1},
        {"a curve point", [](SpectrumTab& t) { t.patch.curves.curve(7)[9] = 0.5f; }, 1},
        {"another note", [](SpectrumTab& t) { t.note = 40; }, 1},
        {"the tone arc moved by 0.016", [](SpectrumTab& t) { t.position = 0.25; }, 0},
        {"the tone arc moved by 0.032", [](SpectrumTab& t) { t.position = 0.5; }, 1},
    };
    for (const Case& c : cases) {
        SpectrumTab tab;
        // The tone lane rises over the phrase and is played exactly as drawn.
        tab.patch.arcDrift = 0;
        tab.patch.arcAmount = 1;
        curveRamp(tab.patch.curves.curve(kFirstArcCurve + 1));
        tab.run({});
        ASSERT_EQ(tab.state.analyses, 1u);
        c.change(tab);
        tab.run({});
        EXPECT_EQ(tab.state.analyses, 1u + static_cast<unsigned>(c.analyses)) << c.name;
    }
}

TEST(SpectrumPanel, APanelTooNarrowForTheSubStillDrawsTheHarmonics) {
    SpectrumTab tab;
    tab.frames.run({}, [&] {
        Editor::drawSpectrumPanel(tab.state, {10, 60, 0, 300}, tab.patch, tab.patch.curves, 0, 36, 48000);
    });
    EXPECT_TRUE(tab.state.valid);
}

}  // namespace
}  // namespace tarn
