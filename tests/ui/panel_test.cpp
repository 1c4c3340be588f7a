// Card panels: content rectangles with and without a title, and faded sections.
#include "ui/panel.h"

#include "tests/ui/frame_input.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

namespace tarn::ui {
namespace {

using testing::FrameInput;
using testing::runFrame;

void expectRect(const Rect& r, float x, float y, float w, float h) {
    EXPECT_FLOAT_EQ(r.x, x);
    EXPECT_FLOAT_EQ(r.y, y);
    EXPECT_FLOAT_EQ(r.w, w);
    EXPECT_FLOAT_EQ(r.h, h);
}

TEST(CardPanel, ContentRectanglesWithAndWithoutTitle) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const Rect r{20, 30, 300, 200};
        expectRect(panel(list, r, "", 0), 30, 40, 280, 180);
        expectRect(panel(list, r, "", 1), 30, 40, 280, 180);
        // Title band 2..26 below the top, content from 4 px under it to the old bottom.
        expectRect(panelTitleRect(r), 30, 32, 280, 24);
        expectRect(panel(list, r, "Motion", 0), 30, 60, 280, 160);

        pushScale(2.0f);
        expectRect(panel(list, r, "", 0), 40, 50, 260, 160);
        expectRect(panel(list, r, "Motion", 0), 40, 90, 260, 120);
        popScale();
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(CardPanel, DegenerateBoxesNeverGiveNegativeSizes) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        for (float w : {0.0f, -50.0f, 15.0f}) {
            const Rect content = panel(list, Rect{10, 10, w, 12}, "", 0);
            EXPECT_EQ(content.w, 0.0f) << w;
            EXPECT_EQ(content.h, 0.0f) << w;
            const Rect titled = panel(list, Rect{10, 10, w, 12}, "Arc", 0);
            EXPECT_EQ(titled.w, 0.0f) << w;
            EXPECT_EQ(titled.h, 0.0f) << w;
            EXPECT_FLOAT_EQ(titled.y, 10 + 2 + 24 + 4);
            EXPECT_EQ(panelTitleRect(Rect{10, 10, w, 12}).w, 0.0f);
        }
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(CardPanel, TitleIsDrawnOnlyWhenGiven) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const Rect r{20, 30, 300, 200};
        int start = list->VtxBuffer.Size;
        panel(list, r, "", 1);
        const int untitled = list->VtxBuffer.Size - start;
        start = list->VtxBuffer.Size;
        panel(list, r, "Bass", 1);
        const int titled = list->VtxBuffer.Size - start;
        // Four capital glyphs plus the rule under the band.
        EXPECT_GE(titled - untitled, 4 * 4 + 4);
    });
    ImGui::SetCurrentContext(nullptr);
}

TEST(CardPanel, ScopeClipsToTheContentAndFadesTheDimmedPart) {
    UiContext ui;
    runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        const ImVec4 outerClip = list->_ClipRectStack.back();
        int firstDimmed = 0;
        int before = 0;
        {
            PanelScope card(Rect{20, 30, 300, 200}, "Voice", 0);
            const ImVec2 clipMin = list->GetClipRectMin();
            const ImVec2 clipMax = list->GetClipRectMax();
            EXPECT_FLOAT_EQ(clipMin.x, card.content.x);
            EXPECT_FLOAT_EQ(clipMin.y, card.content.y);
            EXPECT_FLOAT_EQ(clipMax.x, card.content.x + card.content.w);
            EXPECT_FLOAT_EQ(clipMax.y, card.content.y + card.content.h);
            EXPECT_EQ(card.list, list);
            list->AddRectFilled(ImVec2(40, 80), ImVec2(60, 90), IM_COL32(10, 20, 30, 255));
            before = list->VtxBuffer.Size;
            card.dimFromHere();
            firstDimmed = card.firstDimmedVertex;
            list->AddRectFilled(ImVec2(40, 100), ImVec2(60, 110), IM_COL32(10, 20, 30, 255));
            list->AddRectFilled(ImVec2(40, 120), ImVec2(60, 130), IM_COL32(10, 20, 30, 101));
        }
        EXPECT_EQ(firstDimmed, before);
        const ImVec4 restored = list->_ClipRectStack.back();
        EXPECT_EQ(restored.x, outerClip.x);
        EXPECT_EQ(restored.w, outerClip.w);
        EXPECT_EQ(list->VtxBuffer[before - 1].col, IM_COL32(10, 20, 30, 255)) << "drawn before: unchanged";
        EXPECT_EQ(list->VtxBuffer[before].col, IM_COL32(10, 20, 30, 102)) << "255 x 0.4";
        EXPECT_EQ(list->VtxBuffer[list->VtxBuffer.Size - 1].col, IM_COL32(10, 20, 30, 40)) << "101 x 0.4, truncated";

        // Without a dimmed mark nothing changes.
        const int start = list->VtxBuffer.Size;
        {
            PanelScope card(Rect{20, 30, 300, 200}, "", 1);
            list->AddRectFilled(ImVec2(40, 100), ImVec2(60, 110), IM_COL32(10, 20, 30, 255));
        }
        EXPECT_EQ(list->VtxBuffer[list->VtxBuffer.Size - 1].col, IM_COL32(10, 20, 30, 255));
        EXPECT_GT(list->VtxBuffer.Size, start);
    });
    ImGui::SetCurrentContext(nullptr);
}

}  // namespace
}  // namespace tarn::ui
