// The Legato switch under the glide graph: it flips either way, and resetting the glide leaves it.
#include "app/editor.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(VoiceStrip, TheLegatoSwitchFlipsEitherWayAndTheGlidesResetLeavesIt) {
    // clang-format off
    const struct { const char* name; float legato; bool doubleClick; float legatoAfter, glideAfter; } cases[] = {
        {"the switch turns legato on",                        0, false, 1, 0.3f},
        {"the switch turns it off",                           1, false, 0, 0.3f},
        {"a double click resets the glide, legato stays off", 0, true,  0, 0.06f},
    };
    // clang-format on
    for (const auto& c : cases) {
        testing::EditorTab tab(0);
        tab.editor.patch.legato = c.legato;
        tab.editor.patch.glide = 0.3f;
        tab.settle();
        tab.run();
        const auto plots = tab.boxes(0xB30D1108, tab.editor.voiceStripRect);
        ASSERT_EQ(plots.size(), 4u);
        const ui::Rect& glide = plots[2];
        // The switch sits under the glide's plot; the double click lands away from its point.
        tab.run(c.doubleClick ? testing::doubleClick(testing::inside(glide, 0.9f, 0.9f))
                              : testing::click(testing::inside(glide, 0.08f, 1.2f)));
        EXPECT_EQ(tab.editor.patch.legato, c.legatoAfter) << c.name;
        EXPECT_NEAR(tab.editor.patch.glide, c.glideAfter, 1e-6f) << c.name;
        tab.expectHandedOn();
    }
}

}  // namespace
}  // namespace tarn
