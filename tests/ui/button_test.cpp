// Buttons, icon buttons, toggles and segment controls over simulated frames.
#include "ui/button.h"

#include "tests/ui/widget_frames.h"
#include "ui/segment_control.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/toggle.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <vector>

namespace tarn::ui {
namespace {

using testing::hasVertexColour;
using testing::pointer;
using testing::WidgetInput;
using testing::widgetFrame;

TEST(ButtonSize, MinimumWidthsAndHeights) {
    UiContext ui;
    widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
        ButtonStyle compact;
        compact.compact = true;
        ASSERT_LT(measureText("OK", 1).x, 16.0f);
        EXPECT_FLOAT_EQ(buttonSize("OK", compact).x, 44.0f);
        EXPECT_FLOAT_EQ(buttonSize("OK", compact).y, 18.0f);
        EXPECT_FLOAT_EQ(buttonSize("OK", ButtonStyle{}).x, 64.0f);
        EXPECT_FLOAT_EQ(buttonSize("OK", ButtonStyle{}).y, 24.0f);
        const std::string_view longLabel = "Export the whole phrase";
        EXPECT_FLOAT_EQ(buttonSize(longLabel, ButtonStyle{}).x, measureText(longLabel, 2).x + 28.0f);
        pushScale(2.0f);
        EXPECT_FLOAT_EQ(buttonSize("OK", ButtonStyle{}).x, 128.0f);
        popScale();
    });
}

// Frames over a button at (100, 100, 64, 24): returns each frame's result.
std::vector<bool> clickFrames(UiContext& ui, const ButtonStyle& style, const std::vector<WidgetInput>& inputs) {
    std::vector<bool> out;
    for (int i = 0; i < 3; ++i) widgetFrame(ui, pointer(0, 0), [&](ImDrawList*) { button("b", Rect{100, 100, 64, 24}, "Go", style); });
    for (const WidgetInput& in : inputs)
        widgetFrame(ui, in, [&](ImDrawList*) { out.push_back(button("b", Rect{100, 100, 64, 24}, "Go", style)); });
    return out;
}

TEST(Button, ClickIsAReleaseOverTheButton) {
    UiContext ui;
    const auto r = clickFrames(ui, ButtonStyle{}, {pointer(120, 110), pointer(120, 110, true), pointer(121, 111, true), pointer(121, 111)});
    EXPECT_EQ(r, (std::vector<bool>{false, false, false, true}));
    // Pressed, dragged off and released outside: no click.
    const auto away = clickFrames(ui, ButtonStyle{}, {pointer(120, 110), pointer(120, 110, true), pointer(300, 300, true), pointer(300, 300)});
    EXPECT_EQ(away, (std::vector<bool>(4, false)));
}

TEST(Button, DisabledTakesNoClickAndIsDrawnAtHalfAlpha) {
    UiContext ui;
    ButtonStyle style;
    style.disabled = true;
    const auto r = clickFrames(ui, style, {pointer(120, 110), pointer(120, 110, true), pointer(120, 110)});
    EXPECT_EQ(r, (std::vector<bool>(3, false)));
    widgetFrame(ui, pointer(120, 110), [&](ImDrawList* list) {
        button("b", Rect{100, 100, 64, 24}, "Go", style);
        EXPECT_TRUE(hasVertexColour(list, 0x7F25331A)) << "fill alpha halved, not hovered";
    });
}

TEST(Button, KindsAndHoverColours) {
    UiContext ui;
    ButtonStyle danger;
    danger.kind = ButtonKind::danger;
    widgetFrame(ui, pointer(0, 0), [&](ImDrawList* list) {
        button("d", Rect{100, 100, 64, 24}, "Delete", danger);
        EXPECT_TRUE(hasVertexColour(list, mixColor(0xFFC84830, 0xFF25331A, 0.55f)));
    });
    for (int i = 0; i < 3; ++i) {
        widgetFrame(ui, pointer(120, 110), [&](ImDrawList* list) {
            ButtonStyle accent;
            accent.kind = ButtonKind::accent;
            button("a", Rect{100, 100, 64, 24}, "Save", accent);
            if (i == 2) {
                EXPECT_TRUE(hasVertexColour(list, mixColor(0xFF3E5827, 0xFFFFFFFF, 0.08f)));
                EXPECT_FALSE(hasVertexColour(list, 0xFF3E5827));
            }
        });
    }
}

TEST(IconButton, SquareAndActiveColours) {
    UiContext ui;
    Rect painted;
    ImU32 paintedColour = 0;
    const IconPainter icon = [&](ImDrawList*, const Rect& r, ImU32 c) {
        painted = r;
        paintedColour = c;
    };
    widgetFrame(ui, pointer(0, 0), [&](ImDrawList* list) {
        iconButton("i", Rect{10, 10, 100, 24}, icon, true, ButtonStyle{});
        EXPECT_TRUE(hasVertexColour(list, 0xFF8DC63F));
    });
    // Fit mode keeps the button square: 24 x 24 placed at the start of the box.
    EXPECT_FLOAT_EQ(painted.w, 24.0f * 0.6f);
    EXPECT_FLOAT_EQ(painted.h, painted.w);
    EXPECT_FLOAT_EQ(painted.x, 10.0f + (24.0f - painted.w) * 0.5f);
    EXPECT_EQ(paintedColour, toImColor(0xFF0E1208)) << "dark icon on the lit body";
}

TEST(Toggle, FirstFrameShowsTheKnobInPlaceThenSlides) {
    UiContext ui;
    bool on = true;
    const Rect hint{50, 50, 200, 24};
    widgetFrame(ui, pointer(0, 0), [&](ImDrawList* list) {
        EXPECT_FALSE(toggle("t", hint, "Loop", &on, ToggleStyle{}));
        EXPECT_TRUE(hasVertexColour(list, 0xFF8DC63F)) << "the track is fully lit at once";
    });
    // Click: flips, then the track colour passes through mixed values before it settles.
    widgetFrame(ui, pointer(60, 62), [&](ImDrawList*) { toggle("t", hint, "Loop", &on, ToggleStyle{}); });
    widgetFrame(ui, pointer(60, 62, true), [&](ImDrawList*) { EXPECT_FALSE(toggle("t", hint, "Loop", &on, ToggleStyle{})); });
    bool flipped = false;
    widgetFrame(ui, pointer(60, 62), [&](ImDrawList*) { flipped = toggle("t", hint, "Loop", &on, ToggleStyle{}); });
    EXPECT_TRUE(flipped);
    EXPECT_FALSE(on);
    bool sawMixed = false;
    for (int i = 0; i < 60; ++i) {
        widgetFrame(ui, pointer(300, 300), [&](ImDrawList* list) {
            toggle("t", hint, "Loop", &on, ToggleStyle{});
            if (!hasVertexColour(list, 0xFF8DC63F) && !hasVertexColour(list, 0xFF202C19)) sawMixed = true;
            if (i == 59) {
                EXPECT_TRUE(hasVertexColour(list, 0xFF202C19)) << "settled off";
            }
        });
    }
    EXPECT_TRUE(sawMixed);
}

TEST(Toggle, DisabledIgnoresClicks) {
    UiContext ui;
    bool on = false;
    ToggleStyle style;
    style.disabled = true;
    const Rect hint{50, 50, 200, 24};
    for (const WidgetInput& in : {pointer(60, 62), pointer(60, 62, true), pointer(60, 62)})
        widgetFrame(ui, in, [&](ImDrawList*) { EXPECT_FALSE(toggle("t", hint, "Loop", &on, style)); });
    EXPECT_FALSE(on);
    widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) { EXPECT_FLOAT_EQ(toggleSize("").x, 42.0f); });
}

TEST(Segmented, ClicksSelectOtherCellsOnly) {
    UiContext ui;
    const std::array<std::string_view, 2> labels{"Demo line", "Pattern"};
    int selected = 0;
    SegmentedStyle style;
    widgetFrame(ui, pointer(0, 0), [&](ImDrawList*) {
        const ImVec2 size = segmentedSize(labels, style);
        EXPECT_FLOAT_EQ(size.x, 2.0f * (measureText("Demo line", 2).x + 28.0f));
        EXPECT_FLOAT_EQ(size.y, 24.0f);
        SegmentedStyle vertical;
        vertical.vertical = true;
        vertical.compact = true;
        const IconPainter none;
        const std::array<IconPainter, 1> icons{none};
        vertical.icons = icons;
        EXPECT_FLOAT_EQ(segmentedSize(labels, vertical).y, 2.0f * (18.0f + 24.0f));
    });
    const Rect box{0, 0, 1000, 24};
    float width = 0.0f;
    widgetFrame(ui, pointer(0, 0), [&](ImDrawList*) { width = segmentedSize(labels, style).x; });
    auto clickAt = [&](float x) {
        bool changed = false;
        for (const WidgetInput& in : {pointer(x, 12), pointer(x, 12, true), pointer(x, 12)})
            widgetFrame(ui, in, [&](ImDrawList*) { changed = segmented("seg", box, labels, &selected, style) || changed; });
        return changed;
    };
    EXPECT_FALSE(clickAt(width * 0.25f)) << "the selected cell changes nothing";
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(clickAt(width * 0.75f));
    EXPECT_EQ(selected, 1);

    style.disabled = true;
    EXPECT_FALSE(clickAt(width * 0.25f));
    EXPECT_EQ(selected, 1);
    widgetFrame(ui, pointer(0, 0), [&](ImDrawList* list) {
        segmented("seg", box, labels, &selected, style);
        EXPECT_TRUE(hasVertexColour(list, 0x803E5827)) << "the selected cell at half alpha";
        EXPECT_FALSE(hasVertexColour(list, 0xFF3E5827));
    });
}

}  // namespace
}  // namespace tarn::ui
