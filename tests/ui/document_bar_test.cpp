// The header's small pieces over simulated frames: document bar, page tabs and caption buttons.
#include "ui/document_bar.h"

#include "tests/ui/frame_input.h"
#include "tests/ui/widget_frames.h"
#include "ui/caption_buttons.h"
#include "ui/icons.h"
#include "ui/page_tabs.h"
#include "ui/text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;

TEST(HeaderPieces, SizesAndTheNameShown) {
    UiContext ui;
    const std::string longName(80, 'W');
    // name, canStep, canSave, width past the name's (at most 260 px) plus its 28 px
    const std::tuple<std::string_view, bool, bool, float> cases[] = {
        {"Acid", false, false, 0}, {"Acid", false, true, 28}, {"Acid", true, false, 56},
        {"Acid", true, true, 84},  {"", false, false, 0},     {longName, true, true, 84}};
    const std::array<std::string_view, 2> titles{"Arc", "Pattern"};
    const std::array<IconPainter, 1> icons{playIcon};
    testing::CountingWindow window;
    testing::runFrame(ui, FrameInput{}, [&](ImDrawList* list) {
        for (const auto& [name, step, save, extra] : cases) {
            const float shown = name.empty() ? measureText("Untitled", 2).x : std::min(measureText(name, 2).x, 260.0f);
            EXPECT_FLOAT_EQ(documentBarWidth({name, false, step, save, nullptr}), shown + 28 + extra)
                << name << step << save;
        }
        EXPECT_FLOAT_EQ(pageTabsSize(titles, icons).x, 6 + 44 + 28 + measureText("Pattern", 2).x)
            << "an icon tab is 44 px";
        FrameInfo frame;
        EXPECT_FLOAT_EQ(captionButtons(frame, Rect{0, 0, 500, 36}), 0) << "offscreen: no window controls";
        EXPECT_FALSE(pageTabs("none", Rect{0, 100, 400, 40}, {}, window.minimized, {}));
        EXPECT_EQ(list->VtxBuffer.Size, 0) << "nothing drawn for either";
        frame.windowControls = &window;
        EXPECT_FLOAT_EQ(captionButtons(frame, Rect{0, 0, 500, 36}), 96);
        // "Untitled" in grey for an empty name; the green dot only when modified.
        for (const auto& [name, modified] : {std::pair{"", false}, {"Acid", false}, {"Acid", true}}) {
            list->VtxBuffer.resize(0);
            documentBar(name, Rect{10, 10, 200, 24}, DocumentBarInput{name, modified, false, false, "Open..."});
            EXPECT_EQ(testing::hasVertexColour(list, 0xFF8A8870), name[0] == '\0') << name;
            EXPECT_EQ(testing::hasVertexColour(list, 0xFFF0EED8), name[0] != '\0') << name;
            EXPECT_EQ(testing::hasVertexColour(list, 0xFF8DC63F), modified) << name;
        }
    });
}

// What the frames set off, over a document bar at (10, 10, 300, 24), caption buttons in
// (0, 50, 500, 36) and tabs "Arc", a play icon and "Pattern" at (0, 100, 400, 40), "Arc" selected;
// with the tooltip text of the last frame.
std::pair<std::vector<std::string>, std::string> piecesOver(const std::vector<FrameInput>& frames,
                                                            bool maximised = false, bool fullscreen = false) {
    UiContext ui;
    testing::CountingWindow window;
    window.isMax = maximised;
    window.isFull = fullscreen;
    FrameInfo frame;
    frame.windowControls = &window;
    const std::array<std::string_view, 3> titles{"Arc", "Play", "Pattern"};
    const std::array<IconPainter, 2> icons{IconPainter{}, IconPainter(playIcon)};
    int tab = 0;
    std::vector<std::string> fired;
    std::string tooltip;
    for (const FrameInput& in : frames) {
        testing::runFrame(ui, in, [&](ImDrawList*) {
            tooltip = testing::loggedText([&] {
                const DocumentBarResult d =
                    documentBar("doc", Rect{10, 10, 300, 24}, {"Bass", true, true, true, "Open..."});
                for (const auto& [hit, name] :
                     {std::pair{d.open, "open"}, {d.previous, "previous"}, {d.next, "next"}, {d.save, "save"}})
                    if (hit) fired.push_back(name);
                captionButtons(frame, Rect{0, 50, 500, 36});
                if (pageTabs("tabs", Rect{0, 100, 400, 40}, titles, tab, icons))
                    fired.push_back("tab " + std::to_string(tab));
            });
        });
    }
    for (const auto& [count, name] :
         {std::pair{window.closed, "close"}, {window.maximized, "maximise"}, {window.minimized, "minimise"}})
        fired.insert(fired.end(), count, name);
    return {fired, tooltip};
}

TEST(HeaderPieces, EachClickSetsOffItsOwnControlOnce) {
    // Save at 286..310, next 258..282, previous 230..254; close 468..500, maximise 436..468,
    // minimise 404..436; the tabs from x 3: "Arc" (selected), the icon tab (44 px), "Pattern".
    const std::tuple<float, float, std::vector<std::string>> cases[] = {
        {100, 22, {"open"}},     {242, 22, {"previous"}}, {270, 22, {"next"}},
        {298, 22, {"save"}},     {484, 68, {"close"}},    {452, 68, {"maximise"}},
        {420, 68, {"minimise"}}, {10, 120, {}},           {80, 120, {"tab 1"}}};
    for (const auto& [x, y, expected] : cases) {
        std::vector<FrameInput> frames = testing::clickAt(x, y);
        frames.push_back(frames.back());
        EXPECT_EQ(piecesOver(frames).first, expected) << x << ", " << y;
    }
}

TEST(CaptionButtons, MaximiseReadsRestoreWhenMaximisedOrFullscreen) {
    const std::vector<FrameInput> hover(50, testing::pointerAt(452, 68));  // past the tooltip delay
    for (const auto& [maximised, fullscreen, tooltip] :
         {std::tuple{false, false, "Maximise"}, {true, false, "Restore"}, {false, true, "Restore"}})
        EXPECT_NE(piecesOver(hover, maximised, fullscreen).second.find(tooltip), std::string::npos) << tooltip;
}

}  // namespace
}  // namespace tarn::ui
