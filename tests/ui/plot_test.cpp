// The plot scope: axes set from the inner rectangle, pointer input, grid lines and labels, marks.
#include "ui/plot.h"

#include "tests/ui/frame_input.h"
#include "ui/text.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;
using testing::runFrame;

const PlotAxis kX{PlotAxisKind::linear, 0.0f, 10.0f};
const PlotAxis kY{PlotAxisKind::linear, -1.0f, 1.0f};

TEST(PlotScope, AxesRunOverTheInnerRectangleWithYUpwards) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList*) {
        pushScale(2.0f);
        Plot plot("p", Rect{100, 50, 400, 200}, kX, kY, PlotStyle{"", true, 5.0f});
        EXPECT_FLOAT_EQ(plot.inner().x, 110);
        EXPECT_FLOAT_EQ(plot.inner().w, 380);
        EXPECT_FLOAT_EQ(plot.xAxis().pixelFrom, 110);
        EXPECT_FLOAT_EQ(plot.xAxis().pixelTo, 490);
        EXPECT_FLOAT_EQ(plot.yAxis().pixelFrom, 240);
        EXPECT_FLOAT_EQ(plot.yAxis().pixelTo, 60);
        EXPECT_FLOAT_EQ(plot.toPixels(5.0f, 1.0f).x, 300);
        EXPECT_FLOAT_EQ(plot.toPixels(5.0f, 1.0f).y, 60);
        popScale();
        Plot tight("q", Rect{0, 0, 6, 6}, kX, kY, PlotStyle{"", false, 10.0f});
        EXPECT_EQ(tight.inner().w, 0.0f);
        EXPECT_EQ(tight.inner().h, 0.0f);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(PlotScope, InputReportsEdgesClicksAndDataPosition) {
    UiContext ui;
    std::vector<PlotInput> results;
    const auto frame = [&](float x, float y, bool left, bool right = false) {
        FrameInput in;
        in.mouse = ImVec2(x, y);
        in.left = left;
        in.right = right;
        runFrame(ui, in, [&](ImDrawList*) {
            Plot plot("plot", Rect{100, 100, 200, 100}, kX, kY, PlotStyle{});
            results.push_back(plot.interact());
        });
    };
    for (int i = 0; i < 3; ++i) frame(150, 150, false);
    frame(150, 125, true);   // 3: press
    frame(152, 125, true);   // 4: held
    frame(152, 125, false);  // 5: release
    frame(151, 125, true);   // 6: second press: double click
    frame(151, 125, false);
    for (int i = 0; i < 30; ++i) frame(400, 400, false);
    frame(160, 125, false, true);  // right click
    EXPECT_TRUE(results[2].hovered);
    EXPECT_TRUE(results[3].pressed);
    EXPECT_TRUE(results[3].clicked);
    EXPECT_TRUE(results[3].held);
    EXPECT_FLOAT_EQ(results[3].mouseData.x, 2.5f);
    EXPECT_FLOAT_EQ(results[3].mouseData.y, 0.5f);
    EXPECT_FLOAT_EQ(results[3].mousePixels.x, 150.0f);
    EXPECT_FALSE(results[4].pressed);
    EXPECT_TRUE(results[4].held);
    EXPECT_TRUE(results[5].released);
    for (std::size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(results[i].released, i == 5 || i == 7) << "frame " << i << ": released only when let go";
    EXPECT_TRUE(results[6].doubleClicked);
    EXPECT_FALSE(results[6].clicked);
    EXPECT_FALSE(results[8].hovered);
    EXPECT_FLOAT_EQ(results[8].mouseData.x, 10.0f) << "clamped to the axis";
    EXPECT_TRUE(results.back().rightClicked);
    EXPECT_FALSE(results.back().pressed);
    ImGui::SetCurrentContext(nullptr);
}

TEST(PlotScope, IsAlwaysAnItemAndRestoresTheClip) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const ImVec2 clipBefore = list->GetClipRectMax();
        {
            Plot plot("p", Rect{10, 10, 100, 50}, kX, kY, PlotStyle{});
            EXPECT_FLOAT_EQ(list->GetClipRectMax().x, 110);
        }
        EXPECT_EQ(ImGui::GetItemID(), ImGui::GetID("p"));
        EXPECT_EQ(list->GetClipRectMax().x, clipBefore.x);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(PlotGrid, LinesForTicksInsideTheRangeWithClampedLabels) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        Plot plot("p", Rect{100, 100, 200, 100}, kX, kY, PlotStyle{"", false, 0.0f});
        const int before = list->VtxBuffer.Size;
        plot.grid({{-1.0f, true, ""}, {5.0f, true, ""}, {11.0f, true, ""}}, {});
        const int oneLine = list->VtxBuffer.Size - before;
        EXPECT_GT(oneLine, 0);
        const int start = list->VtxBuffer.Size;
        plot.grid({{5.0f, false, ""}}, {});
        EXPECT_EQ(list->VtxBuffer.Size - start, oneLine) << "ticks outside the axis are skipped";
        EXPECT_EQ(list->VtxBuffer[start].col, IM_COL32(0xC8, 0xD8, 0xA8, 0x1C)) << "minor colour";
        float minX = 1e9f;
        float maxX = -1e9f;
        for (int i = start; i < list->VtxBuffer.Size; ++i) {
            minX = std::min(minX, list->VtxBuffer[i].pos.x);
            maxX = std::max(maxX, list->VtxBuffer[i].pos.x);
        }
        // floor(200) + 0.5, and AddLine's own half pixel.
        EXPECT_NEAR((minX + maxX) * 0.5f, 201.0f, 1e-3f);

        // A label at the very end stays inside the plot.
        const int labelStart = list->VtxBuffer.Size;
        plot.grid({{10.0f, true, "10k"}}, {});
        float labelRight = -1e9f;
        for (int i = labelStart + oneLine; i < list->VtxBuffer.Size; ++i)
            labelRight = std::max(labelRight, list->VtxBuffer[i].pos.x);
        EXPECT_LE(labelRight, 300.0f - 4.0f + 1.0f);
    });
    // A plot narrower than its labels keeps them at the left pad instead of failing.
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        Plot plot("narrow", Rect{100, 100, 6, 100}, kX, kY, PlotStyle{"", false, 0.0f});
        const int start = list->VtxBuffer.Size;
        plot.grid({{5.0f, true, "1000"}}, {{0.0f, true, "0 dB"}});
        EXPECT_GT(list->VtxBuffer.Size, start);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(PlotMarks, BandsPlayheadAndLines) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        Plot plot("p", Rect{100, 100, 200, 100}, kX, kY, PlotStyle{"", false, 0.0f});
        int start = list->VtxBuffer.Size;
        plot.band(-5.0f, 2.5f, 0x40FFFFFF);
        ASSERT_EQ(list->VtxBuffer.Size - start, 4);
        EXPECT_FLOAT_EQ(list->VtxBuffer[start].pos.x, 100.0f) << "clamped to the inner left";
        EXPECT_FLOAT_EQ(list->VtxBuffer[start + 2].pos.x, 150.0f);
        start = list->VtxBuffer.Size;
        plot.band(12.0f, 20.0f, 0x40FFFFFF);
        EXPECT_EQ(list->VtxBuffer.Size, start) << "both ends clamp to the same edge";
        plot.band(3.0f, 3.0f, 0x40FFFFFF);
        EXPECT_EQ(list->VtxBuffer.Size, start);

        plot.playhead(5.0f);
        EXPECT_EQ(list->VtxBuffer[list->VtxBuffer.Size - 1].col & 0x00FFFFFFu, IM_COL32(0xC8, 0x48, 0x30, 0));

        const float ys[] = {0.0f, 1.0f, -1.0f, 0.5f};
        start = list->VtxBuffer.Size;
        plot.curve(ys, 0.0f, 2.0f, 0xFFFFFFFF, 1.0f);
        EXPECT_GT(list->VtxBuffer.Size, start);
        const float xs[] = {0.0f, 5.0f};
        start = list->VtxBuffer.Size;
        plot.fillUnder(xs, ys, -1.0f, 0xFFFFFFFF);
        ASSERT_EQ(list->VtxBuffer.Size - start, 4) << "the shorter list rules";
        EXPECT_FLOAT_EQ(list->VtxBuffer[start + 1].pos.y, 200.0f);
        EXPECT_FLOAT_EQ(list->VtxBuffer[start + 2].pos.x, 200.0f);
        EXPECT_FLOAT_EQ(list->VtxBuffer[start + 2].pos.y, 100.0f);
    });
    ImGui::SetCurrentContext(nullptr);
}

// The top tick's label sits where a title is drawn: with a title it is left out, so the two never
// overlap; lower labels and untitled plots keep theirs.
TEST(PlotGrid, ALabelUnderTheTitleIsLeftOut) {
    struct Case {
        const char* title;
        float tick;
        bool labelled;
    };
    const Case cases[] = {{"Level", 1.0f, false}, {"", 1.0f, true}, {"Level", 0.0f, true}, {"", 0.0f, true}};
    UiContext ui;
    for (const Case& c : cases) {
        runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
            Plot plot("p", Rect{100, 100, 200, 100}, kX, kY, PlotStyle{c.title, true, 4.0f});
            int start = list->VtxBuffer.Size;
            plot.grid({}, {{c.tick, true, ""}});
            const int lineOnly = list->VtxBuffer.Size - start;
            start = list->VtxBuffer.Size;
            plot.grid({}, {{c.tick, true, "0 dB"}});
            EXPECT_EQ(list->VtxBuffer.Size - start > lineOnly, c.labelled)
                << "title \"" << c.title << "\", tick at " << c.tick;
        });
    }
    ImGui::SetCurrentContext(nullptr);
}

TEST(PlotScope, TitleInRoleZero) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const int start = list->VtxBuffer.Size;
        { Plot plot("p", Rect{100, 100, 200, 100}, kX, kY, PlotStyle{"Spectrum", false, 0.0f}); }
        const int titled = list->VtxBuffer.Size - start;
        EXPECT_EQ(titled, 8 * 4);
        EXPECT_EQ(list->VtxBuffer[start].col, IM_COL32(0x8A, 0x88, 0x70, 0xFF));
    });
    ImGui::SetCurrentContext(nullptr);
}

}  // namespace
}  // namespace tarn::ui
