// The header's status line in its row: from wide to narrow, a long message keeps 48 px free beside
// the controls on its left and never reaches under the caption buttons.
#include "ui/header_bar.h"

#include "tests/ui/frame_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

namespace tarn::ui {
namespace {

TEST(HeaderStatus, ALongMessageKeepsItsRoomAtEveryWidth) {
    UiContext ui;
    testing::CountingWindow window;
    FrameInfo info;
    info.windowControls = &window;
    const std::string message = "Could not open " + std::string(300, 'x') + ".json: not a tarnlode session";
    HeaderModel model;
    model.appName = "tarnlode";
    model.document = HeaderDocument{1, "Patch", "Acid Line", "", true, true, true, true, true, {}, ""};
    model.undoRedo = HeaderUndoRedo{true, true, "", ""};
    model.status = StatusLine{message, "", 2, "", "", 0, 2};
    const ImU32 red = IM_COL32(0xC8, 0x48, 0x30, 0xFF);  // the level-2 colour, drawn by nothing else here
    for (float width = 900.0f; width >= 200.0f; width -= 20.0f) {
        HeaderResult result;
        float left = std::numeric_limits<float>::max(), right = 0.0f;
        testing::runFrame(ui, testing::FrameInput{}, [&](ImDrawList* list) {
            result = header(info, Rect{0, 0, width, 36}, model);
            for (const ImDrawVert& v : list->VtxBuffer) {
                if (v.col != red) continue;
                left = std::min(left, v.pos.x);
                right = std::max(right, v.pos.x);
            }
        });
        // Left of the free width: the document bar, its gap, and Undo and Redo (24 + 4 + 24 px) and
        // their gap. A glyph may reach a pixel outside its box.
        const Rect d = result.documentArea;
        const float freeStart = d.x + d.w + 8 + 24 + 4 + 24 + 8;
        if (width == 900.0f) {
            ASSERT_GT(right, 0.0f) << "shown, cut to fit, at full width";
        }
        if (right == 0.0f) continue;  // no room left for the status: not drawn
        EXPECT_GE(left + 1, freeStart + 48) << width << " px";
        EXPECT_LE(right - 1, width - 4 - 96) << width << " px";
    }
}

}  // namespace
}  // namespace tarn::ui
