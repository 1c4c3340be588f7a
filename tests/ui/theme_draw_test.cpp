// Theme drawing into real draw lists: background tiles, nine-slice shadows, gradient rows, light glow.
#include "ui/theme_draw.h"

#include "tests/ui/ui_test_frames.h"
#include "ui/theme.h"
#include "ui/theme_images.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn::ui {
namespace {

// What one drawing call added to a draw list.
struct Added {
    std::vector<ImDrawVert> vertices;
    int indices = 0;
    std::vector<ImDrawCallback> callbacks;
};

template <class Draw>
Added record(ImDrawList* list, Draw draw) {
    const int vtx0 = list->VtxBuffer.Size;
    const int idx0 = list->IdxBuffer.Size;
    const int cmd0 = list->CmdBuffer.Size;
    draw();
    Added added;
    for (int i = vtx0; i < list->VtxBuffer.Size; ++i) added.vertices.push_back(list->VtxBuffer[i]);
    added.indices = list->IdxBuffer.Size - idx0;
    for (int i = cmd0 - 1; i < list->CmdBuffer.Size; ++i) {
        if (i >= 0 && list->CmdBuffer[i].UserCallback != nullptr)
            added.callbacks.push_back(list->CmdBuffer[i].UserCallback);
    }
    return added;
}

int alphaOf(const ImDrawVert& v) { return static_cast<int>(v.col >> IM_COL32_A_SHIFT); }

class ThemeDraw : public ::testing::Test {
protected:
    ~ThemeDraw() override { ImGui::SetCurrentContext(nullptr); }
    UiContext ui;
};

TEST_F(ThemeDraw, BackgroundTilesFromTheTopLeftAtTheCurrentScale) {
    testing::TestFrame frame(ui);
    ImDrawList* list = frame.drawList();
    // 200 x 100 at 76 px: 3 columns and 2 rows of tiles after the fill.
    Added a = record(list, [&] { drawBackground(list, Rect{50, 30, 200, 100}); });
    ASSERT_EQ(a.vertices.size(), 4u + 6u * 4u);
    EXPECT_EQ(a.vertices[0].col, toImColor(0xFF0E1208));
    EXPECT_FLOAT_EQ(a.vertices[4].pos.x, 50.0f);
    EXPECT_FLOAT_EQ(a.vertices[4].pos.y, 30.0f);
    EXPECT_FLOAT_EQ(a.vertices[6].pos.x, 126.0f);
    ImVec2 uv0;
    ImVec2 uv1;
    skinUv(uv0, uv1);
    EXPECT_FLOAT_EQ(a.vertices[4].uv.x, uv0.x);
    EXPECT_FLOAT_EQ(a.vertices[6].uv.y, uv1.y);

    pushScale(2.0f);  // 152 px tiles: 2 x 1
    Added b = record(list, [&] { drawBackground(list, Rect{50, 30, 200, 100}); });
    popScale();
    EXPECT_EQ(b.vertices.size(), 4u + 2u * 4u);
}

TEST_F(ThemeDraw, BackgroundOfAnEmptyOrHugeRectangleStaysBounded) {
    testing::TestFrame frame(ui, ImVec2(800, 600));
    ImDrawList* list = frame.drawList();
    EXPECT_EQ(record(list, [&] { drawBackground(list, Rect{10, 10, 0, 50}); }).vertices.size(), 4u);
    EXPECT_EQ(record(list, [&] { drawBackground(list, Rect{10, 10, 50, -5}); }).vertices.size(), 4u);
    // Only the tiles inside the 800 x 600 window are drawn: 11 x 8.
    Added huge = record(list, [&] { drawBackground(list, Rect{0, 0, 1e9f, 1e9f}); });
    EXPECT_EQ(huge.vertices.size(), 4u + 11u * 8u * 4u);
    // A vanishing scale still gives tiles of one pixel, never an endless loop.
    pushScale(1e-6f);
    Added tiny = record(list, [&] { drawBackground(list, Rect{100, 100, 3, 2}); });
    popScale();
    EXPECT_EQ(tiny.vertices.size(), 4u + 6u * 4u);
}

TEST_F(ThemeDraw, PanelShadowIsNineSlicesOfTheMask) {
    testing::TestFrame frame(ui);
    ImDrawList* list = frame.drawList();
    Added a = record(list, [&] { drawPanelShadow(list, Rect{100, 100, 100, 60}, 0.45f, 2.0f); });
    ASSERT_EQ(a.vertices.size(), 9u * 4u);
    for (const ImDrawVert& v : a.vertices) EXPECT_EQ(v.col, IM_COL32(255, 255, 255, 115));
    // Shadow rectangle (88, 90)-(212, 174), corners of 20 px.
    EXPECT_FLOAT_EQ(a.vertices[0].pos.x, 88.0f);
    EXPECT_FLOAT_EQ(a.vertices[0].pos.y, 90.0f);
    EXPECT_FLOAT_EQ(a.vertices[2].pos.x, 108.0f);
    EXPECT_FLOAT_EQ(a.vertices[2].pos.y, 110.0f);
    EXPECT_FLOAT_EQ(a.vertices[35 - 1].pos.x, 212.0f);
    EXPECT_FLOAT_EQ(a.vertices[35 - 1].pos.y, 174.0f);
    ImVec2 uv0;
    ImVec2 uv1;
    ImGui::GetIO().Fonts->CalcCustomRectUV(ImGui::GetIO().Fonts->GetCustomRectByIndex(ui.themeImages.shadow), &uv0,
                                           &uv1);
    EXPECT_FLOAT_EQ(a.vertices[0].uv.x, uv0.x);
    EXPECT_NEAR(a.vertices[2].uv.x, uv0.x + (uv1.x - uv0.x) * 20.0f / 44.0f, 1e-7);
}

TEST_F(ThemeDraw, SmallCardShadowSkipsTheEmptyMiddleSlices) {
    testing::TestFrame frame(ui);
    ImDrawList* list = frame.drawList();
    // 10 x 10 card: a 34 x 34 shadow, corners limited to 17 px, so only the four corners remain.
    Added a = record(list, [&] { drawPanelShadow(list, Rect{50, 50, 10, 10}, 2.0f, 0.0f); });
    ASSERT_EQ(a.vertices.size(), 4u * 4u);
    EXPECT_EQ(alphaOf(a.vertices[0]), 255) << "opacity is clamped to 1";
    EXPECT_FLOAT_EQ(a.vertices[2].pos.x, 38.0f + 17.0f);
}

TEST_F(ThemeDraw, GradientWithOneStopFillsWithItsColour) {
    testing::TestFrame frame(ui);
    ImDrawList* list = frame.drawList();
    const GradientStop one[] = {{0.5f, 0xFF112233}};
    Added a = record(list, [&] { fillGradientRoundRect(list, Rect{0, 0, 100, 50}, 0.0f, one, 1); });
    ASSERT_EQ(a.vertices.size(), 6u);  // rows at top, the stop and bottom
    EXPECT_EQ(a.indices, 12);
    for (const ImDrawVert& v : a.vertices) EXPECT_EQ(v.col, toImColor(0xFF112233));
    EXPECT_FLOAT_EQ(a.vertices[0].pos.x, 0.0f);
    EXPECT_FLOAT_EQ(a.vertices[1].pos.x, 100.0f);
    EXPECT_FLOAT_EQ(a.vertices[5].pos.y, 50.0f);
}

TEST_F(ThemeDraw, GradientStopsBlendAndCloseStopsShareARow) {
    testing::TestFrame frame(ui);
    ImDrawList* list = frame.drawList();
    const GradientStop close[] = {{0.3f, 0xFF000000}, {0.30001f, 0xFFFFFFFF}};
    Added a = record(list, [&] { fillGradientRoundRect(list, Rect{0, 0, 100, 50}, 0.0f, close, 2); });
    EXPECT_EQ(a.vertices.size(), 6u) << "rows 0, 15 and 50";

    const GradientStop ramp[] = {{0.0f, 0xFF000000}, {1.0f, 0xFFC8C8C8}};
    Added b = record(list, [&] { fillGradientRoundRect(list, Rect{0, 0, 100, 50}, 0.0f, ramp, 2); });
    ASSERT_EQ(b.vertices.size(), 4u);
    EXPECT_EQ(b.vertices[0].col, toImColor(0xFF000000));
    EXPECT_EQ(b.vertices[3].col, toImColor(0xFFC8C8C8));

    const GradientStop three[] = {{0.0f, 0xFF000000}, {0.5f, 0xFF646464}, {1.0f, 0xFFC8C8C8}};
    Added c = record(list, [&] { fillGradientRoundRect(list, Rect{0, 0, 100, 50}, 0.0f, three, 3); });
    ASSERT_EQ(c.vertices.size(), 6u);
    EXPECT_EQ(c.vertices[2].col, toImColor(0xFF646464));

    EXPECT_TRUE(record(list, [&] { fillGradientRoundRect(list, Rect{0, 0, 0, 50}, 4.0f, ramp, 2); }).vertices.empty());
    EXPECT_TRUE(record(list, [&] { fillGradientRoundRect(list, Rect{0, 0, 10, 50}, 4.0f, ramp, 0); }).vertices.empty());
}

TEST_F(ThemeDraw, GradientRadiusIsClampedAndShapesTheCorners) {
    testing::TestFrame frame(ui);
    ImDrawList* list = frame.drawList();
    const GradientStop ramp[] = {{0.0f, 0xFF000000}, {1.0f, 0xFFFFFFFF}};
    // Radius 100 on a 100 x 50 box becomes 25: 16 steps each way, meeting in the middle row.
    Added a = record(list, [&] { fillGradientRoundRect(list, Rect{0, 0, 100, 50}, 100.0f, ramp, 2); });
    ASSERT_EQ(a.vertices.size(), 2u * 33u);
    EXPECT_EQ(a.indices, 6 * 32);
    EXPECT_FLOAT_EQ(a.vertices[0].pos.x, 25.0f) << "the top row is inset by the whole radius";
    EXPECT_FLOAT_EQ(a.vertices[1].pos.x, 75.0f);
    EXPECT_FLOAT_EQ(a.vertices[32].pos.y, 25.0f);
    EXPECT_FLOAT_EQ(a.vertices[32].pos.x, 0.0f) << "the middle row is not inset";
    EXPECT_EQ(a.vertices[32].col, toImColor(mixColor(0xFF000000, 0xFFFFFFFF, 0.5f)));
    for (size_t i = 2; i < a.vertices.size(); i += 2) EXPECT_GT(a.vertices[i].pos.y, a.vertices[i - 2].pos.y);
}

void hook(const ImDrawList*, const ImDrawCmd*) {}

TEST_F(ThemeDraw, LightGlowWithoutHookIsBlendedNormallyAtFullerIntensity) {
    testing::TestFrame frame(ui);
    ImDrawList* list = frame.drawList();
    Added a = record(list, [&] { drawLightGlow(list, Rect{0, 0, 400, 300}); });
    ASSERT_EQ(a.vertices.size(), 116u + 16u);  // the rings, then four margin rectangles
    EXPECT_EQ(a.indices, 672 + 24);
    EXPECT_TRUE(a.callbacks.empty());
    EXPECT_EQ(alphaOf(a.vertices[0]), 61);      // 0.24 x 255 + 0.5
    EXPECT_EQ(alphaOf(a.vertices[4 * 28]), 0);  // the innermost ring fades out
    EXPECT_EQ(a.vertices[0].col & 0x00FFFFFFu, IM_COL32(0xD8, 0xA2, 0x51, 0) & 0x00FFFFFFu);
    for (int ring = 1; ring < 29; ++ring) EXPECT_LE(alphaOf(a.vertices[4 * ring]), alphaOf(a.vertices[4 * (ring - 1)]));
    // Ring 0 is the inner rectangle 5 px in; depth min(290 x 0.45, 40) = 40 to the last ring.
    EXPECT_FLOAT_EQ(a.vertices[0].pos.x, 5.0f);
    EXPECT_FLOAT_EQ(a.vertices[2].pos.x, 395.0f);
    EXPECT_FLOAT_EQ(a.vertices[4 * 28].pos.x, 45.0f);
    EXPECT_FLOAT_EQ(a.vertices[4 * 28 + 2].pos.y, 255.0f);
    EXPECT_EQ(a.vertices[116].col, IM_COL32(0, 0, 0, 255));
}

TEST_F(ThemeDraw, LightGlowWithHookIsWrappedInBlendCallbacks) {
    ui.lightHook = hook;
    testing::TestFrame frame(ui);
    ImDrawList* list = frame.drawList();
    Added a = record(list, [&] { drawLightGlow(list, Rect{0, 0, 400, 300}); });
    ASSERT_EQ(a.vertices.size(), 116u + 16u);
    EXPECT_EQ(a.indices, 672 + 24);
    ASSERT_EQ(a.callbacks.size(), 2u);
    EXPECT_EQ(a.callbacks[0], &hook);
    EXPECT_EQ(a.callbacks[1], ImDrawCallback_ResetRenderState);
    EXPECT_EQ(alphaOf(a.vertices[0]), 51);  // 0.2 x 255 + 0.5
    EXPECT_TRUE(record(list, [&] { drawLightGlow(list, Rect{0, 0, 0, 300}); }).vertices.empty());
}

}  // namespace
}  // namespace tarn::ui
