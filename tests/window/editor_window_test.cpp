// The whole editor in a real window: on the short screens people use, with and without a window manager,
// the canvas keeps room to edit and every block under the header is in the window or on the page that
// scrolls, as the window opens and after the user has sized it down to the least it allows; and a click
// beside a popup only closes it.
#include "app/editor.h"
#include "tests/ui/drawn_text.h"
#include "tests/window/window_fixture.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <cstdlib>
#include <numeric>
#include <string>

namespace tarn::ui::window_tests {
namespace {

// A frame's blocks, its page (the window where nothing scrolls) and the part of the window the page's
// wheel and scrollbar can bring each block into.
struct Layout {
    Rect window, page, reach, blocks[4];
};
constexpr const char* kBlockNames[] = {"canvas", "render strip", "waveform", "voice strip"};

Layout layoutOf(const Editor& editor, const FrameInfo& frame) {
    Layout l{frame.window,
             frame.window,
             frame.window,
             {editor.canvasRect, editor.renderStripRect, editor.waveformRect, editor.voiceStripRect}};
    for (const ImGuiWindow* w : GImGui->Windows) {
        // The page itself, not a child window of a block on it.
        const std::string name = w->Name;
        const size_t at = name.rfind('/');
        if (!w->Active || at == std::string::npos || name.compare(at, 6, "/page_") != 0) continue;
        l.page = Rect{w->Pos.x, w->Pos.y, w->Size.x, w->Size.y};
        l.reach = Rect{frame.window.x, w->InnerRect.Min.y - w->Scroll.y, frame.window.w,
                       w->InnerRect.GetHeight() + w->ScrollMax.y};
    }
    return l;
}

bool within(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x - 0.5f && inner.y >= outer.y - 0.5f && inner.x + inner.w <= outer.x + outer.w + 0.5f &&
           inner.y + inner.h <= outer.y + outer.h + 0.5f;
}

TEST(EditorWindow, TheCanvasKeepsRoomAndEveryBlockIsInReachOnShortScreensAndAfterTheUserSizesTheWindow) {
    struct Case {
        ScreenSize screen;
        int dpi;
        Desktop desktop;
        int openWidth, openHeight;  // the program's 900 x 950 logical px as the screen lets it open
    };
    const Case cases[] = {
        {{1366, 768}, 144, Desktop::windowManager, 1350, 768},
        {{1920, 1080}, 192, Desktop::windowManager, 1800, 1080},
        {{1366, 768}, 144, Desktop::bare, 1350, 768},
    };
    for (const Case& c : cases) {
        const Xvfb server(c.desktop, c.dpi, c.screen);
        setenv("APPDATA", (server.folder + "/appdata").c_str(), 1);
        setenv("SDL_AUDIODRIVER", "nonexistent", 1);
        Editor editor(0);
        ProbeView view(&editor);
        StandaloneOptions options;
        options.title = "tarn-editor";
        options.height = 950;
        options.width = 900;
        const float s = static_cast<float>(c.dpi) / 96.0f;
        runScripted(view, options, [&] {
            const std::string id = windowWithTitle(options.title);
            ASSERT_FALSE(id.empty()) << "dpi " << c.dpi;
            const auto expectRoom = [&](const std::string& when, int width, int height) {
                const std::string what = std::to_string(c.screen.width) + " px wide at dpi " + std::to_string(c.dpi) +
                                         (c.desktop == Desktop::bare ? " bare, " : ", ") + when;
                const XWindow w = waitForServer(
                    id, [&](const XWindow& now) { return now.viewable && now.width == width && now.height == height; });
                ASSERT_TRUE(w.width == width && w.height == height) << what << ": " << w;
                // The page's scroll range follows what the frame before it laid out.
                ASSERT_TRUE(view.waitFor([&](const FrameInfo& f) {
                    return f.window.w == static_cast<float>(width) && f.window.h == static_cast<float>(height);
                })) << what;
                view.frames(2);
                Layout l;
                view.waitFor([&](const FrameInfo& f) { return l = layoutOf(editor, f), true; });
                EXPECT_GE(l.blocks[0].h, 200.0f * s - 0.01f) << what << ": the canvas";
                EXPECT_TRUE(within(l.page, l.window)) << what << ": the page";
                for (int i = 0; i < 4; ++i) {
                    const Rect& r = l.blocks[i];
                    EXPECT_TRUE(r.h > 0.0f && within(r, l.reach)) << what << ": the " << kBlockNames[i] << " at " << r.x
                                                                  << ", " << r.y << ", " << r.w << " x " << r.h;
                }
            };
            expectRoom("as it opens", c.openWidth, c.openHeight);
            // The least the window allows: 480 x 360 logical px.
            const int width = static_cast<int>(480.0f * s), height = static_cast<int>(360.0f * s);
            run("xdotool windowsize " + id + " " + std::to_string(width) + " " + std::to_string(height));
            expectRoom("sized by the user", width, height);
        });
    }
}

// The About box over the piano roll, under a window manager: a click on an empty step beside the box
// only closes it; a click there once the box has gone adds a note.
TEST(EditorWindow, AClickBesideTheAboutBoxOnlyClosesItAndTheNextClickAddsANote) {
    const Xvfb server(Desktop::windowManager, 96, ScreenSize{1920, 1200});
    setenv("APPDATA", (server.folder + "/appdata").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    Editor editor(0);
    editor.selectedTab = 3;
    ProbeView view(&editor);
    StandaloneOptions options;
    options.title = "tarn-editor";
    options.width = 900;
    options.height = 950;
    runScripted(view, options, [&] {
        const std::string id = windowWithTitle(options.title);
        ASSERT_FALSE(id.empty());
        const auto click = [&](ImVec2 at) { return pointerTo(id, view, at) && run("xdotool click 1") == 0; };
        const auto shows = [&](const char* text) {
            return view.waitFor(
                [&](const FrameInfo&) { return testing::findDrawnText(UiContext::current(), text).has_value(); });
        };
        const auto notes = [&] {
            return view.read([&] {
                return std::accumulate(editor.pattern.bars.begin(), editor.pattern.bars.end(), std::size_t{0},
                                       [](std::size_t n, const auto& bar) { return n + bar.size(); });
            });
        };
        ASSERT_TRUE(click(ImVec2(48.0f, 43.0f)) && shows("About tarnlode"));
        const Rect item =
            view.read([] { return testing::findDrawnText(UiContext::current(), "About tarnlode").value_or(Rect{}); });
        ASSERT_TRUE(click(ImVec2(item.x + item.w * 0.5f, item.y + item.h * 0.5f)) && shows("0.1.3"));
        const std::size_t before = notes();
        const Rect roll = view.read([&] { return editor.canvasRect; });
        const ImVec2 step(std::floor(roll.x + roll.w * 0.96f), std::floor(roll.y + roll.h * 0.27f));
        ASSERT_TRUE(click(step));
        EXPECT_TRUE(
            view.waitFor([](const FrameInfo&) { return GImGui->OpenPopupStack.empty() && !ImGui::IsMouseDown(0); }));
        view.frames(3);
        EXPECT_EQ(notes(), before) << "the click that closed the box";
        // Further than a double click reaches, so it begins a run of its own at once.
        ASSERT_TRUE(click(ImVec2(step.x - 10.0f, step.y)));
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return !ImGui::IsMouseDown(0); }));
        EXPECT_EQ(notes(), before + 1) << "the click once the box had gone";
    });
}

}  // namespace
}  // namespace tarn::ui::window_tests
