// Hover delays emulated on Dear ImGui 1.86 with the theme's timing: stationary 0.1 s, normal delay 0.6 s.
#include "ui/imgui_compat.h"

#include "tests/ui/ui_test_frames.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

namespace tarn::ui {
namespace {

// Runs frames of `dt` with the mouse at `mouse(frame)` over one button; returns, per frame, whether the
// tooltip test passed.
template <class MouseAt>
std::vector<bool> tooltipFrames(UiContext& ui, int frames, float dt, MouseAt mouse, ImGuiHoveredFlags flags) {
    std::vector<bool> shown;
    for (int i = 0; i < frames; ++i) {
        testing::TestFrame frame(ui, ImVec2(400, 300), dt, mouse(i));
        ImGui::SetCursorScreenPos(ImVec2(20, 20));
        ImGui::Button("target", ImVec2(200, 40));
        shown.push_back(compat::isItemHovered(flags));
    }
    return shown;
}

int firstTrue(const std::vector<bool>& v) {
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i]) return static_cast<int>(i);
    return -1;
}

TEST(HoverDelay, TooltipWaitsForTheNormalDelayOnAStillPointer) {
    UiContext ui;
    const auto shown = tooltipFrames(
        ui, 40, 0.05f, [](int) { return ImVec2(60, 40); }, compat::HoveredForTooltip);
    const int first = firstTrue(shown);
    ASSERT_GE(first, 0);
    // 0.6 s at 20 frames a second: not before frame 12, and shown within a frame or two after.
    EXPECT_GE(first, 12);
    EXPECT_LE(first, 14);
    for (size_t i = static_cast<size_t>(first); i < shown.size(); ++i) EXPECT_TRUE(shown[i]) << i;
    ImGui::SetCurrentContext(nullptr);
}

TEST(HoverDelay, APointerThatKeepsMovingNeverUnlocksTheTooltip) {
    UiContext ui;
    auto moving = [](int i) { return ImVec2(30.0f + 5.0f * static_cast<float>(i), 40.0f); };
    EXPECT_EQ(firstTrue(tooltipFrames(ui, 30, 0.05f, moving, compat::HoveredForTooltip)), -1);
    ImGui::SetCurrentContext(nullptr);
}

TEST(HoverDelay, PlainHoverNeedsNoDelayAndAPointerElsewhereNeverShows) {
    UiContext ui;
    EXPECT_EQ(firstTrue(tooltipFrames(
                  ui, 3, 0.05f, [](int) { return ImVec2(60, 40); }, 0)),
              1)
        << "1.86 reports hover from the frame after the pointer arrives";
    const auto outside = tooltipFrames(
        ui, 20, 0.05f, [](int) { return ImVec2(390, 290); }, compat::HoveredForTooltip);
    EXPECT_EQ(firstTrue(outside), -1);
    ImGui::SetCurrentContext(nullptr);
}

TEST(HoverDelay, DisabledItemsStillShowTheirTooltip) {
    UiContext ui;
    std::vector<bool> shown;
    for (int i = 0; i < 30; ++i) {
        testing::TestFrame frame(ui, ImVec2(400, 300), 0.05f, ImVec2(60, 40));
        ImGui::SetCursorScreenPos(ImVec2(20, 20));
        ImGui::BeginDisabled();
        ImGui::Button("target", ImVec2(200, 40));
        ImGui::EndDisabled();
        shown.push_back(compat::isItemHovered(compat::HoveredForTooltip));
    }
    EXPECT_GE(firstTrue(shown), 12);
    ImGui::SetCurrentContext(nullptr);
}

}  // namespace
}  // namespace tarn::ui
