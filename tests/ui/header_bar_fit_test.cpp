// The header's pieces in too little width: a piece given a narrow rectangle draws only inside it.
#include "tests/ui/frame_input.h"
#include "ui/document_bar.h"
#include "ui/page_tabs.h"
#include "ui/status_line.h"
#include "ui/transport_bar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <functional>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;

// The bounds of what the frame drew visibly (edges of anti-aliased shapes, which are transparent, left out).
Rect drawnBounds(const ImDrawList* list) {
    ImVec4 b(FLT_MAX, FLT_MAX, -FLT_MAX, -FLT_MAX);
    for (const ImDrawVert& v : list->VtxBuffer) {
        if ((v.col >> IM_COL32_A_SHIFT) == 0) continue;
        b = ImVec4(std::min(b.x, v.pos.x), std::min(b.y, v.pos.y), std::max(b.z, v.pos.x), std::max(b.w, v.pos.y));
    }
    return b.x > b.z ? Rect{} : Rect{b.x, b.y, b.z - b.x, b.w - b.y};
}

TEST(HeaderPieces, ANarrowRectangleIsDrawnInOnlyAndSpaceStillPlays) {
    float bpm = 0.5f;
    FloatParam tempo(&bpm, FloatParamSpec{}, FloatParamHooks{});
    const std::array<std::string_view, 4> pages{"Arc", "Motion", "Spectrum", "Pattern"};
    TransportOptions options;
    options.showRewind = options.showPosition = options.spaceTogglesPlay = options.framed = true;
    options.widthMode = 2;
    // The piece, drawn in (100, 100, width, 36): true when Space toggled play.
    const std::vector<std::pair<std::string, std::function<bool(const Rect&)>>> pieces = {
        {"tabs",
         [&](const Rect& r) {
             int page = 0;
             pageTabs("tabs", r, pages, page, {});
             return false;
         }},
        {"transport",
         [&](const Rect& r) { return transportBar("t", r, TransportState{}, tempo, options).playToggled; }},
        {"document",
         [](const Rect& r) {
             return documentBar("d", r, {"Acid Line 7", true, true, true, ""}).open;
         }},
        {"status",
         [](const Rect& r) {
             statusLine("s", r, StatusLine{"Opened a-session.json", "", 0, {}, {}, 0, 0});
             return false;
         }},
    };
    UiContext ui;
    for (const auto& [name, draw] : pieces) {
        for (const float width : {0.0f, 4.0f, 30.0f, 60.0f, 120.0f, 200.0f}) {
            Rect drawn;
            bool played = false;
            testing::runFrame(ui, FrameInput{}, [](ImDrawList*) {});
            testing::runFrame(ui, testing::pressing({testing::scancode::space}), [&](ImDrawList* list) {
                played = draw(Rect{100, 100, width, 36});
                drawn = drawnBounds(list);
            });
            if (drawn.w > 0) {
                // An anti-aliased outline's soft edge may reach a little past.
                EXPECT_TRUE(drawn.x >= 98.5f && drawn.x + drawn.w <= 101.5f + width)
                    << name << " in " << width << " px";
            }
            EXPECT_EQ(played, name == "transport") << name << " in " << width << " px: Space plays only on the bar";
            if (width <= 4) {
                EXPECT_EQ(drawn.w, 0) << name << " in " << width << " px: nothing";
            }
        }
    }
}

}  // namespace
}  // namespace tarn::ui
