// Sized items against the scale stack, scroll regions of any size, and the animation smoother.
#include "ui/placement.h"

#include "tests/ui/widget_frames.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <cmath>
#include <string_view>

namespace tarn::ui {
namespace {

using testing::WidgetInput;
using testing::widgetFrame;

TEST(PlaceItem, FitModeScalesTheWidgetAndRestoresTheStack) {
    UiContext ui;
    widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
        pushScale(1.5f);
        const size_t depth = ui.scaleStack.size();

        const LayoutItem twice = placeItem(Rect{10, 20, 200, 80}, SizeRule{}, ImVec2(100, 40), 0, 0);
        EXPECT_TRUE(twice.scaled);
        EXPECT_FLOAT_EQ(scale(), 3.0f) << "the widget draws at twice the outer scale";
        EXPECT_FLOAT_EQ(twice.rect.w, 200.0f);
        EXPECT_FLOAT_EQ(twice.rect.h, 80.0f);
        endItem(twice);
        EXPECT_EQ(ui.scaleStack.size(), depth);

        const LayoutItem half = placeItem(Rect{0, 0, 400, 20}, SizeRule{}, ImVec2(100, 40), 1, 1);
        EXPECT_FLOAT_EQ(scale(), 0.75f);
        EXPECT_FLOAT_EQ(half.rect.w, 50.0f);
        EXPECT_FLOAT_EQ(half.rect.x, 175.0f) << "centred in the width left over";
        endItem(half);
        EXPECT_EQ(ui.scaleStack.size(), depth);
        EXPECT_FLOAT_EQ(scale(), 1.5f);

        // An empty box still gives a positive factor, never zero or negative.
        const LayoutItem none = placeItem(Rect{0, 0, -5, 0}, SizeRule{}, ImVec2(100, 40), 0, 0);
        EXPECT_GT(scale(), 0.0f);
        EXPECT_GE(none.rect.w, 0.0f);
        endItem(none);
        popScale();
        EXPECT_TRUE(ui.scaleStack.empty());
    });
}

TEST(PlaceItem, WidthRulesAndAlignment) {
    UiContext ui;
    widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
        pushScale(2.0f);
        const Rect box{100, 50, 300, 60};
        const LayoutItem fixed = placeItem(box, SizeRule{SizeKind::fixed, 40}, ImVec2(10, 24), 2, 2);
        EXPECT_FALSE(fixed.scaled);
        EXPECT_FLOAT_EQ(fixed.rect.w, 80.0f) << "fixed widths are logical pixels";
        EXPECT_FLOAT_EQ(fixed.rect.x, 320.0f);
        EXPECT_FLOAT_EQ(fixed.rect.h, 24.0f);
        EXPECT_FLOAT_EQ(fixed.rect.y, 86.0f);
        endItem(fixed);

        EXPECT_FLOAT_EQ(placeItem(box, SizeRule{SizeKind::fixed, 400}, ImVec2(10, 24), 0, 0).rect.w, 300.0f);
        EXPECT_FLOAT_EQ(placeItem(box, SizeRule{SizeKind::fill, 0}, ImVec2(10, 24), 0, 0).rect.w, 300.0f);
        EXPECT_FLOAT_EQ(placeItem(box, SizeRule{SizeKind::fraction, 0.25f}, ImVec2(10, 24), 0, 0).rect.w, 75.0f);
        EXPECT_FLOAT_EQ(placeItem(box, SizeRule{SizeKind::fraction, 3.0f}, ImVec2(10, 24), 0, 0).rect.w, 300.0f);
        EXPECT_FLOAT_EQ(placeItem(box, SizeRule{SizeKind::fraction, -1.0f}, ImVec2(10, 24), 0, 0).rect.w, 0.0f);
        // A natural rule without a positive natural size does not scale.
        const LayoutItem stretch = placeItem(box, SizeRule{}, ImVec2(-1, -1), 0, 0);
        EXPECT_FALSE(stretch.scaled);
        EXPECT_FLOAT_EQ(stretch.rect.w, 300.0f);
        EXPECT_FLOAT_EQ(stretch.rect.h, 60.0f);
        const LayoutItem narrow = placeItem(Rect{0, 0, 5, 5}, SizeRule{SizeKind::fill, 0}, ImVec2(10, 30), 0, 0);
        EXPECT_FLOAT_EQ(narrow.rect.h, 5.0f);
        popScale();
        EXPECT_TRUE(ui.scaleStack.empty());
    });
}

TEST(ScrollRegion, ContentRectAndEmptyRegionsStayOnePixel) {
    UiContext ui;
    for (int frame = 0; frame < 3; ++frame) {
        widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
            const ChildRegion region = beginScrollRegion("list", Rect{40, 60, 200, 100}, 500);
            EXPECT_TRUE(region.open);
            EXPECT_FLOAT_EQ(region.content.x, 40.0f);
            EXPECT_FLOAT_EQ(region.content.y, 60.0f);
            EXPECT_FLOAT_EQ(region.content.h, 500.0f);
            EXPECT_GT(region.content.w, 0.0f);
            EXPECT_LE(region.content.w, 200.0f);
            EXPECT_FLOAT_EQ(ImGui::GetWindowSize().y, 100.0f);
            endScrollRegion(region);

            // Zero and negative sizes must not fill the rest of the window.
            const ChildRegion empty = beginScrollRegion("empty", Rect{10, 10, 0, -20}, -5);
            EXPECT_FLOAT_EQ(ImGui::GetWindowSize().x, 1.0f);
            EXPECT_FLOAT_EQ(ImGui::GetWindowSize().y, 1.0f);
            EXPECT_FLOAT_EQ(empty.content.h, 0.0f);
            EXPECT_GE(empty.content.w, 0.0f);
            endScrollRegion(empty);
        });
    }
    ContextScope scope(ui);
    const ImGuiWindow* child = nullptr;
    for (ImGuiWindow* w : ImGui::GetCurrentContext()->Windows)
        if (std::string_view(w->Name).find("/list_") != std::string_view::npos) child = w;
    ASSERT_NE(child, nullptr);
    EXPECT_FLOAT_EQ(child->ScrollMax.y, 400.0f) << "the child scrolls over the whole content";
}

TEST(SmoothTowards, ConvergesAndSnapsExactly) {
    EXPECT_EQ(smoothTowards(0.0f, 1.0f, 0.5f, 0.0f), 1.0f);
    EXPECT_EQ(smoothTowards(0.3f, 1.0f, 0.0f, 0.12f), 0.3f);
    EXPECT_EQ(smoothTowards(0.3f, 1.0f, -1.0f, 0.12f), 0.3f) << "negative time does not move";
    EXPECT_NEAR(smoothTowards(0.0f, 1.0f, 0.12f, 0.12f), 1.0f - std::exp(-4.0f), 1e-6);

    float v = 0.0f;
    int frames = 0;
    while (v != 1.0f && frames < 1000) {
        const float next = smoothTowards(v, 1.0f, 1.0f / 60.0f, 0.12f);
        ASSERT_GT(next, v);
        if (next != 1.0f) {
            EXPECT_GE(1.0f - next, 0.0001f) << "never lingers within the snap distance";
        }
        v = next;
        ++frames;
    }
    EXPECT_EQ(v, 1.0f);
    EXPECT_LT(frames, 60);
    EXPECT_EQ(smoothTowards(0.99995f, 1.0f, 0.0001f, 0.12f), 1.0f);
}

}  // namespace
}  // namespace tarn::ui
