// The borderless window stays without a window manager's frame and title bar, whether a manager
// ran when it opened, starts later, or never runs.
#include "tests/window/window_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn::ui::window_tests {
namespace {

std::string property(const std::string& id, const std::string& name) {
    std::string said;
    run("xprop -id " + id + " " + name, &said);
    return said;
}

enum class Manager { never, fromTheStart, startedLater };

TEST(WindowDecorations, NoWindowManagerDrawsAFrameOrTitleBarAroundTheWindow) {
    const struct {
        const char* what;
        Manager manager;
    } cases[] = {
        {"without a window manager", Manager::never},
        {"with a window manager from the start", Manager::fromTheStart},
        {"with a window manager started after the window opened", Manager::startedLater},
    };
    for (const auto& c : cases) {
        Xvfb server(c.manager == Manager::fromTheStart ? Desktop::windowManager : Desktop::bare);
        ProbeView view;
        runScripted(view, StandaloneOptions{}, [&] {
            const std::string id = windowWithTitle(StandaloneOptions{}.title);
            ASSERT_FALSE(id.empty()) << c.what;
            if (c.manager == Manager::startedLater) server.startWindowManager();
            // Flags 2 (decorations given), no decorations: the request every manager reads.
            EXPECT_NE(property(id, "_MOTIF_WM_HINTS").find("= 0x2, 0x0"), std::string::npos) << c.what;
            // A window transient for the whole screen is a dialog to a window manager, with a title bar.
            EXPECT_NE(property(id, "WM_TRANSIENT_FOR").find("not found"), std::string::npos) << c.what;
            if (c.manager == Manager::never) return;
            // What the manager drew around the window, once it took it on.
            std::string frame;
            const XWindow w = waitForServer(id, [&](const XWindow&) {
                frame = property(id, "_NET_FRAME_EXTENTS");
                return frame.find('=') != std::string::npos;
            });
            EXPECT_NE(frame.find("= 0, 0, 0, 0"), std::string::npos) << c.what << ": " << frame << " around " << w;
        });
    }
}

}  // namespace
}  // namespace tarn::ui::window_tests
