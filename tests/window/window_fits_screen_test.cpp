// The window on a large and a small screen at the desktop's font resolutions: it opens and changes UI
// size wholly on the screen, never asks for a minimum size larger than the screen, and a UI size's
// round trip gives back the exact size it left. Read from the X server, under a window manager.
#include "tests/window/window_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>

namespace tarn::ui::window_tests {
namespace {

struct Size {
    int width = 0, height = 0;
};

bool insideWorkArea(const XWindow& w, const std::array<int, 4>& area) {
    return w.x >= area[0] && w.y >= area[1] && w.x + w.width <= area[0] + area[2] &&
           w.y + w.height <= area[1] + area[3];
}

// The window manager's work area, once it has said it; the whole screen where none runs.
std::array<int, 4> announcedWorkArea(Desktop desktop, ScreenSize screen) {
    if (desktop == Desktop::bare) return {0, 0, screen.width, screen.height};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kPatience);
    std::array<int, 4> area = workArea();
    while (area[2] <= 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        area = workArea();
    }
    return area;
}

TEST(WindowFitsScreen, OpensAndChangesUiSizeWhollyOnTheScreenAndComesBackToItsSize) {
    // The program's 900 x 950 logical pixels at UI sizes 100 %, 125 %, 200 % and 100 % again, each
    // as many pixels as that gives up to the screen's size; then sized by the user to 1000 x 800
    // (where its minimum of 480 x 360 logical pixels allows), and that at UI size 200 %.
    constexpr std::array<float, 4> uiSizes{1.0f, 1.25f, 2.0f, 1.0f};
    struct Case {
        ScreenSize screen;
        int dpi;
        Desktop desktop;
        std::array<Size, 4> sizes;
        Size sizedByUser, sizedByUserAt200;
    };
    constexpr ScreenSize large{2560, 1600}, small{1920, 1080};
    // clang-format off
    const Case cases[] = {
        {large, 96, Desktop::windowManager, {{{900, 950}, {1125, 1188}, {1800, 1600}, {900, 950}}}, {1000, 800}, {2000, 1600}},
        {large, 144, Desktop::windowManager, {{{1350, 1425}, {1688, 1600}, {2560, 1600}, {1350, 1425}}}, {1000, 800}, {2000, 1600}},
        {large, 192, Desktop::windowManager, {{{1800, 1600}, {2250, 1600}, {2560, 1600}, {1800, 1600}}}, {1000, 800}, {2000, 1600}},
        {large, 192, Desktop::bare, {{{1800, 1600}, {2250, 1600}, {2560, 1600}, {1800, 1600}}}, {1000, 800}, {2000, 1600}},
        // At 400 % the minimum alone, 1920 x 1440, is more than the screen.
        {small, 192, Desktop::windowManager, {{{1800, 1080}, {1920, 1080}, {1920, 1080}, {1800, 1080}}}, {1000, 800}, {1920, 1080}},
        {small, 192, Desktop::bare, {{{1800, 1080}, {1920, 1080}, {1920, 1080}, {1800, 1080}}}, {1000, 800}, {1920, 1080}},
        {small, 384, Desktop::windowManager, {{{1920, 1080}, {1920, 1080}, {1920, 1080}, {1920, 1080}}}, {1920, 1080}, {1920, 1080}},
    };
    // clang-format on
    StandaloneOptions options;
    options.title = "tarn-fit";
    options.width = 900;
    options.height = 950;
    for (const Case& c : cases) {
        const Xvfb server(c.desktop, c.dpi, c.screen);
        const std::array<int, 4> area = announcedWorkArea(c.desktop, c.screen);
        ProbeView view;
        runScripted(view, options, [&] {
            const std::string id = windowWithTitle(options.title);
            ASSERT_FALSE(id.empty()) << "dpi " << c.dpi << " on " << c.screen.width;
            const auto expectShown = [&](const std::string& when, const Size& want) {
                const auto minimumFits = [&](const XWindow& now) {
                    return now.minWidth > 0 && now.minHeight > 0 && now.minWidth <= area[2] && now.minHeight <= area[3];
                };
                const XWindow w = waitForServer(id, [&](const XWindow& now) {
                    return now.viewable && now.width == want.width && now.height == want.height &&
                           insideWorkArea(now, area) && minimumFits(now);
                });
                const std::string what = std::to_string(c.screen.width) + " x " + std::to_string(c.screen.height) +
                                         " at dpi " + std::to_string(c.dpi) +
                                         (c.desktop == Desktop::bare ? " without a window manager, " : ", ") + when;
                EXPECT_EQ(w.width, want.width) << what << ": " << w;
                EXPECT_EQ(w.height, want.height) << what << ": " << w;
                EXPECT_TRUE(insideWorkArea(w, area)) << what << ": " << w << " outside " << area[0] << "," << area[1]
                                                     << " " << area[2] << "x" << area[3];
                EXPECT_TRUE(minimumFits(w)) << what << ": " << w;
                EXPECT_TRUE(view.waitFor([&](const FrameInfo& f) {
                    return f.window.w == static_cast<float>(w.width) && f.window.h == static_cast<float>(w.height);
                })) << what;
            };
            const auto askUiSize = [&](float size) {
                view.waitFor([&](const FrameInfo& f) { return f.windowControls->setScale(size), true; });
            };
            for (size_t step = 0; step < uiSizes.size(); ++step) {
                if (step > 0) askUiSize(uiSizes[step]);
                expectShown("UI size " + std::to_string(static_cast<int>(uiSizes[step] * 100.0f)) + " %",
                            c.sizes[step]);
            }
            // A size the user gives the window is the one the next UI size scales.
            run("xdotool windowsize " + id + " 1000 800");
            expectShown("sized by the user", c.sizedByUser);
            askUiSize(2.0f);
            expectShown("sized by the user, then UI size 200 %", c.sizedByUserAt200);
        });
    }
}

}  // namespace
}  // namespace tarn::ui::window_tests
