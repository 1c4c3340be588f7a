// The drawing kit: colour order, dashes, glows, strips beyond 16-bit indices, columns and fades.
#include "ui/draw.h"

#include "tests/ui/frame_input.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;
using testing::runFrame;

struct Drawn {
    std::vector<ImVec2> pos;
    std::vector<ImU32> col;
};

template <class Draw>
Drawn drawnBy(ImDrawList* list, Draw&& draw) {
    const int start = list->VtxBuffer.Size;
    draw();
    Drawn d;
    for (int i = start; i < list->VtxBuffer.Size; ++i) {
        d.pos.push_back(list->VtxBuffer[i].pos);
        d.col.push_back(list->VtxBuffer[i].col);
    }
    return d;
}

void expectSame(const Drawn& a, const Drawn& b) {
    ASSERT_EQ(a.pos.size(), b.pos.size());
    for (size_t i = 0; i < a.pos.size(); ++i) {
        EXPECT_FLOAT_EQ(a.pos[i].x, b.pos[i].x) << i;
        EXPECT_FLOAT_EQ(a.pos[i].y, b.pos[i].y) << i;
        EXPECT_EQ(a.col[i], b.col[i]) << i;
    }
}

// The triangles of the whole list as drawn, resolving each command's vertex offset.
std::vector<ImVec2> resolvedTriangles(const ImDrawList* list) {
    std::vector<ImVec2> out;
    unsigned int idx = 0;
    for (const ImDrawCmd& cmd : list->CmdBuffer) {
        for (unsigned int i = 0; i < cmd.ElemCount; ++i) {
            const unsigned int v = cmd.VtxOffset + list->IdxBuffer[static_cast<int>(cmd.IdxOffset + i)];
            EXPECT_LT(v, static_cast<unsigned int>(list->VtxBuffer.Size));
            out.push_back(list->VtxBuffer[static_cast<int>(v)].pos);
        }
        idx += cmd.ElemCount;
    }
    EXPECT_EQ(idx, static_cast<unsigned int>(list->IdxBuffer.Size));
    return out;
}

TEST(DrawKit, ColoursSwapRedAndBlueForDearImGui) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const Drawn d = drawnBy(list, [&] { fillRoundRect(list, Rect{10, 10, 20, 20}, 0x80112233, 0); });
        ASSERT_FALSE(d.col.empty());
        for (ImU32 c : d.col) EXPECT_EQ(c, IM_COL32(0x11, 0x22, 0x33, 0x80));
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(DrawKit, FadeVerticesRoundsAlphaFromTheFirstVertex) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const int start = list->VtxBuffer.Size;
        list->AddRectFilled(ImVec2(0, 0), ImVec2(5, 5), IM_COL32(1, 2, 3, 255));
        list->AddRectFilled(ImVec2(0, 0), ImVec2(5, 5), IM_COL32(1, 2, 3, 101));
        fadeVertices(list, start + 4, 0.5f);
        EXPECT_EQ(list->VtxBuffer[start].col, IM_COL32(1, 2, 3, 255));
        EXPECT_EQ(list->VtxBuffer[start + 4].col, IM_COL32(1, 2, 3, 51)) << "101 x 0.5 + 0.5, truncated";
        fadeVertices(list, -10, 7.0f);  // factor clamped to 1: unchanged
        EXPECT_EQ(list->VtxBuffer[start].col, IM_COL32(1, 2, 3, 255));
        fadeVertices(list, -10, -1.0f);
        EXPECT_EQ(list->VtxBuffer[start].col, IM_COL32(1, 2, 3, 0));
        fadeVertices(list, list->VtxBuffer.Size + 5, 0.0f);  // past the end: nothing
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(DrawKit, DashesWalkThePathAcrossJoins) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        // 30 px with 4 px dashes and 2 px gaps: dashes at 0, 6, 12, 18, 24.
        const Drawn dashed = drawnBy(list, [&] { drawDashedLine(list, ImVec2(0, 10), ImVec2(30, 10), 0xFFFFFFFF, 1, 4, 2); });
        const Drawn expected = drawnBy(list, [&] {
            for (float x : {0.0f, 6.0f, 12.0f, 18.0f, 24.0f})
                list->AddLine(ImVec2(x, 10), ImVec2(x + 4, 10), IM_COL32_WHITE, 1.0f);
        });
        expectSame(dashed, expected);

        // Shorter than one dash: drawn whole.
        const Drawn shortLine = drawnBy(list, [&] { drawDashedLine(list, ImVec2(0, 20), ImVec2(3, 20), 0xFFFFFFFF, 1, 4, 2); });
        expectSame(shortLine, drawnBy(list, [&] { list->AddLine(ImVec2(0, 20), ImVec2(3, 20), IM_COL32_WHITE, 1.0f); }));

        // The dash carries over the corner; a zero-length segment changes nothing.
        const ImVec2 bent[] = {{0, 30}, {3, 30}, {3, 30}, {3, 40}};
        const Drawn corner = drawnBy(list, [&] { drawDashedPolyline(list, bent, 0xFFFFFFFF, 1, 4, 2); });
        const Drawn pieces = drawnBy(list, [&] {
            list->AddLine(ImVec2(0, 30), ImVec2(3, 30), IM_COL32_WHITE, 1.0f);
            list->AddLine(ImVec2(3, 30), ImVec2(3, 31), IM_COL32_WHITE, 1.0f);
            list->AddLine(ImVec2(3, 33), ImVec2(3, 37), IM_COL32_WHITE, 1.0f);
            list->AddLine(ImVec2(3, 39), ImVec2(3, 40), IM_COL32_WHITE, 1.0f);
        });
        expectSame(corner, pieces);

        // Tiny dash lengths are held at half a pixel; absurd lengths end, they do not hang.
        const ImVec2 far[] = {{0, 0}, {1e30f, 0}};
        drawDashedPolyline(list, far, 0xFFFFFFFF, 1, 0, 0);
        const ImVec2 one[] = {{0, 0}};
        EXPECT_EQ(drawnBy(list, [&] { drawDashedPolyline(list, one, 0xFFFFFFFF, 1, 4, 2); }).pos.size(), 0u);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(DrawKit, GlowAddsTwoFaintWidePassesUnderTheLine) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const ImVec2 pts[] = {{10, 10}, {50, 30}, {90, 10}};
        const Drawn plain = drawnBy(list, [&] { drawPolyline(list, pts, 0xC8FF0000, 2.0f); });
        expectSame(drawnBy(list, [&] { drawGlowPolyline(list, pts, 0xC8FF0000, 0.0f, 2.0f); }), plain);
        expectSame(drawnBy(list, [&] { drawGlowPolyline(list, pts, 0xC8FF0000, 0.005f, 2.0f); }), plain);

        const Drawn glow = drawnBy(list, [&] { drawGlowPolyline(list, pts, 0xC8FF0000, 1.0f, 2.0f); });
        const Drawn wide = drawnBy(list, [&] { list->AddPolyline(pts, 3, IM_COL32(255, 0, 0, 16), 0, 12.0f); });
        const Drawn mid = drawnBy(list, [&] { list->AddPolyline(pts, 3, IM_COL32(255, 0, 0, 36), 0, 5.6f); });
        Drawn all = wide;
        all.pos.insert(all.pos.end(), mid.pos.begin(), mid.pos.end());
        all.col.insert(all.col.end(), mid.col.begin(), mid.col.end());
        all.pos.insert(all.pos.end(), plain.pos.begin(), plain.pos.end());
        all.col.insert(all.col.end(), plain.col.begin(), plain.col.end());
        expectSame(glow, all);  // 200 x 0.08 = 16, 200 x 0.18 = 36
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(DrawKit, StripsFillUnderAndBetween) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const ImVec2 pts[] = {{0, 10}, {10, 5}, {20, 8}};
        const int idxStart = list->IdxBuffer.Size;
        const Drawn under = drawnBy(list, [&] { fillUnderPolyline(list, pts, 50.0f, 0xFF00FF00); });
        ASSERT_EQ(under.pos.size(), 6u);
        EXPECT_EQ(list->IdxBuffer.Size - idxStart, 12);
        EXPECT_EQ(under.pos[1].x, 0.0f);
        EXPECT_EQ(under.pos[1].y, 50.0f);
        EXPECT_EQ(under.pos[4].y, 8.0f);
        EXPECT_EQ(under.col[0], IM_COL32(0, 255, 0, 255));
        const ImVec2 lower[] = {{0, 30}, {10, 30}};
        EXPECT_EQ(drawnBy(list, [&] { fillBetween(list, pts, lower, 0xFF00FF00); }).pos.size(), 4u)
            << "the shorter list rules";
        EXPECT_EQ(drawnBy(list, [&] { fillBetween(list, std::span(pts, 1), lower, 0xFF00FF00); }).pos.size(), 0u);
        EXPECT_EQ(drawnBy(list, [&] { fillUnderPolyline(list, std::span(pts, 1), 0, 0xFF00FF00); }).pos.size(), 0u);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(DrawKit, LongStripsAndPolylinesRenderPastSixteenBitIndices) {
    UiContext ui;
    std::vector<ImVec2> triangles;
    std::vector<ImVec2> points;
    for (int i = 0; i < 100000; ++i) points.emplace_back(static_cast<float>(i) * 0.008f, 100.0f + (i % 7));
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        // Push the list's vertex index near the limit first, so the strip must start a new offset.
        for (int i = 0; i < 16000; ++i) list->AddRectFilled(ImVec2(0, 0), ImVec2(1, 1), IM_COL32_WHITE);
        fillUnderPolyline(list, points, 300.0f, 0xFF00FF00);
        drawPolyline(list, points, 0xFFFFFFFF, 1.5f);
        const ImVec2 small[] = {{700, 10}, {710, 20}};
        fillUnderPolyline(list, small, 40.0f, 0xFF0000FF);
        EXPECT_GT(list->VtxBuffer.Size, 3 * 65536);
        triangles = resolvedTriangles(list);
    });  // Render() asserts on index overflow
    ASSERT_GE(triangles.size(), 6u);
    // The last strip's two triangles reach its own corners, through the command's vertex offset.
    const std::vector<ImVec2> last(triangles.end() - 6, triangles.end());
    const ImVec2 expected[] = {{700, 10}, {700, 40}, {710, 40}, {700, 10}, {710, 40}, {710, 20}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(last[i].x, expected[i].x) << i;
        EXPECT_EQ(last[i].y, expected[i].y) << i;
    }
    ImGui::SetCurrentContext(nullptr);
}

TEST(DrawKit, ColumnsAreAtLeastOnePixelHigh) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const float a[] = {10, 20, 5};
        const float b[] = {30, 20.4f};
        const Drawn d = drawnBy(list, [&] { fillColumns(list, 100, 2, a, b, 0xFFFFFFFF); });
        const Drawn expected = drawnBy(list, [&] {
            list->AddRectFilled(ImVec2(100, 10), ImVec2(102, 30), IM_COL32_WHITE);
            list->AddRectFilled(ImVec2(102, 19.7f), ImVec2(104, 20.7f), IM_COL32_WHITE);
        });
        expectSame(d, expected);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(DrawKit, CirclesAndRectanglesScaleTheirStrokes) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        EXPECT_EQ(drawnBy(list, [&] { drawCircle(list, ImVec2(50, 50), 0, 0xFFFFFFFF, 1); }).pos.size(), 0u);
        EXPECT_EQ(drawnBy(list, [&] { fillCircle(list, ImVec2(50, 50), -3, 0xFFFFFFFF); }).pos.size(), 0u);
        pushScale(2.0f);
        expectSame(drawnBy(list, [&] { drawCircle(list, ImVec2(50, 50), 10, 0xFFFFFFFF, 1.5f); }),
                   drawnBy(list, [&] { list->AddCircle(ImVec2(50, 50), 10, IM_COL32_WHITE, 0, 3.0f); }));
        expectSame(drawnBy(list, [&] { strokeRoundRect(list, Rect{10, 10, 80, 40}, 0xFFFFFFFF, 4, 1); }),
                   drawnBy(list, [&] {
                       list->AddRect(ImVec2(10, 10), ImVec2(90, 50), IM_COL32_WHITE, 8.0f, 0, 2.0f);
                   }));
        popScale();
    });
    ImGui::SetCurrentContext(nullptr);
}

}  // namespace
}  // namespace tarn::ui
