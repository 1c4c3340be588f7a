// The header's rows and pieces in too little width: what gives way, in which order, and that a piece
// given a narrow rectangle draws only inside it.
#include "ui/header_bar_layout.h"

#include "tests/ui/frame_input.h"
#include "ui/document_bar.h"
#include "ui/page_tabs.h"
#include "ui/status_line.h"
#include "ui/transport_bar.h"

#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <cfloat>
#include <functional>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;

// Sweeps the width from 0 up in half pixels and returns, for each condition on the fitted row, the
// narrowest width from which on it always holds (FLT_MAX: never). Each fitted row must fit.
template <class Row>
std::vector<float> thresholds(const std::function<Row(float)>& fit, const std::function<float(const Row&)>& used,
                              const std::vector<std::function<bool(const Row&)>>& holds) {
    std::vector<float> from(holds.size(), FLT_MAX);
    for (float width = 0.0f; width <= 1500.0f; width += 0.5f) {
        const Row row = fit(width);
        EXPECT_LE(used(row), width + 0.01f) << width;
        for (size_t k = 0; k < holds.size(); ++k) {
            if (!holds[k](row))
                from[k] = FLT_MAX;
            else if (from[k] == FLT_MAX)
                from[k] = width;
        }
    }
    return from;
}

TEST(HeaderRows, GiveWayInTheirOrderAndAWiderRowNeverShowsLess) {
    // The editor's first row at 100 % with a status, undo and redo and caption buttons, in px.
    // The document's long name takes 300 px, 232 cut short.
    FirstRowWidths one;
    one.menu = 115, one.menuIconOnly = 44, one.label = 22, one.document = 300, one.documentShort = 232;
    one.documentFloor = 152;
    one.documentNarrowest = 68, one.undoRedo = 52, one.status = 120, one.statusNarrowest = 40, one.room = 48;
    one.captionButton = 32, one.captionButtons = 3, one.gap = 8;
    using F = FirstRowWidths;
    const auto left = [](float w) { return w > 0 ? w + 8 : 0.0f; };
    // What holds, in the order it gives way: each needs a row at least as wide as the next. A piece
    // is whole or not there at all.
    const std::vector<float> oneFrom = thresholds<F>(
        [&](float w) { return fitFirstRow(one, w); },
        [&](const F& r) {
            EXPECT_TRUE((r.document == 0 || r.document >= 68) && (r.status == 0 || r.status >= 40));
            return left(r.menu) + left(r.label) + left(r.document) + left(r.undoRedo) + r.room + r.status +
                   32.0f * static_cast<float>(r.captionButtons);
        },
        {[&](const F& r) { return r.document == one.document; }, [&](const F& r) { return r.status == one.status; },
         [](const F& r) { return r.status > 0; }, [](const F& r) { return r.label > 0; },
         [&](const F& r) { return r.room == one.room; }, [&](const F& r) { return r.menu == one.menu; },
         [](const F& r) { return r.document >= 232; }, [](const F& r) { return r.undoRedo > 0; },
         [](const F& r) { return r.document >= 152; }, [](const F& r) { return r.document > 0; },
         [](const F& r) { return r.captionButtons == 3; }, [](const F& r) { return r.captionButtons >= 2; },
         [](const F& r) { return r.captionButtons >= 1; }, [](const F& r) { return r.menu > 0; }});
    // The second row: tabs of 246 px (182 with whole titles, 170 cut), a 149 px area and a transport,
    // which moves to a row of its own before any control goes.
    SecondRowWidths two;
    two.tabs = 246, two.tabsWholeTitles = 182, two.tabsCutTitles = 170, two.area = 149, two.gap = 8;
    two.transport = {306, 186, 78, 42};
    using S = SecondRowWidths;
    const auto step = [](const S& r, size_t most) { return r.transportStep <= most; };
    const std::vector<float> twoFrom = thresholds<S>(
        [&](float w) { return fitSecondRow(two, w); },
        [](const S& r) {
            const float transport = r.transportStep < 4 ? r.transport[r.transportStep] : 0.0f;
            float used = r.tabs;
            for (const float piece : {r.area, r.transportBelow ? 0.0f : transport})
                if (piece > 0) used += (used > 0 ? 8 : 0) + piece;
            return std::max(used, r.transportBelow ? transport : 0.0f);
        },
        {[](const S& r) { return r.tabs == 246 && !r.transportBelow; }, [](const S& r) { return !r.transportBelow; },
         [](const S& r) { return r.area > 0; }, [&](const S& r) { return step(r, 0); },
         [&](const S& r) { return step(r, 1); }, [](const S& r) { return r.tabs >= 182; },
         [](const S& r) { return r.tabs >= 170; }, [&](const S& r) { return step(r, 2); },
         [&](const S& r) { return step(r, 3); }, [](const S& r) { return r.tabs > 0; }});
    for (const std::vector<float>* from : {&oneFrom, &twoFrom}) {
        for (size_t k = 0; k < from->size(); ++k) EXPECT_LT((*from)[k], FLT_MAX) << k << " never holds";
        for (size_t k = 1; k < from->size(); ++k) EXPECT_GE((*from)[k - 1], (*from)[k]) << "step " << k;
    }
    EXPECT_EQ(oneFrom.front(), 115 + 8 + 22 + 8 + 300 + 8 + 52 + 8 + 48 + 120 + 96) << "all of it";
    EXPECT_EQ(oneFrom[1], 115 + 8 + 22 + 8 + 232 + 8 + 52 + 8 + 48 + 120 + 96) << "the status beside a cut name";
    EXPECT_EQ(twoFrom.front(), 246 + 8 + 149 + 8 + 306) << "all of it";
    EXPECT_EQ(twoFrom[1], 182 + 8 + 149 + 8 + 306) << "the transport beside the tabs";
    EXPECT_EQ(twoFrom[3], 306) << "the transport whole on its own row";
}

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
            if (width >= 120) {
                EXPECT_GT(drawn.w, 0) << name << " in " << width << " px: room for a part of it";
            }
        }
    }
}

}  // namespace
}  // namespace tarn::ui
