// The standalone window on a private X server at scale 1.5, used through xdotool as a user would.
#include "tests/window/window_fixture.h"
#include "ui/embedded.h"
#include "ui/system_open.h"

#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <tuple>
#include <csignal>
#include <unistd.h>

namespace tarn::ui::window_tests {
namespace {

using ::testing::HasSubstr;

StandaloneOptions probeOptions() {
    StandaloneOptions options;
    options.title = "tarn-probe";
    options.width = 900;
    options.height = 950;
    options.iconPng = embeddedSkinPng();
    return options;
}

std::string said(const std::string& command) {
    std::string out;
    run(command, &out);
    return out;
}

// Moves the pointer as a user does and waits for a frame that saw it there.
bool pointerTo(const std::string& window, ProbeView& view, int x, int y) {
    run("xdotool mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y));
    return view.waitFor([&](const FrameInfo&) {
        const ImVec2 at = ImGui::GetIO().MousePos;
        return at.x == static_cast<float>(x) && at.y == static_cast<float>(y);
    });
}

TEST(StandaloneWindow, OpensAtTheDisplayScaleWithItsMinimumSizeAndIconAndShowsTheView) {
    const Xvfb server;
    ProbeView view;
    const int result = runScripted(view, probeOptions(), [&] {
        const std::string id = windowWithTitle("tarn-probe");
        EXPECT_TRUE(view.waitFor([](const FrameInfo& f) { return f.window.w == 1350.0f && f.window.h == 1425.0f; }));
        EXPECT_THAT(said("xprop -id " + id + " WM_NORMAL_HINTS"), HasSubstr("minimum size: 720 by 540"));
        EXPECT_THAT(said("xprop -id " + id + " _NET_WM_ICON"), HasSubstr("Icon (76 x 76)"));

        // The screen shows the view: its magenta block, and no black but the theme's thin frame.
        const std::string shot = server.folder + "/shot.png";
        ASSERT_EQ(run("/usr/bin/import -window " + id + " " + shot), 0);
        EXPECT_EQ(said("convert " + shot + " -format '%wx%h %[hex:p{187,277}]' info:"), "1350x1425 FF00FF");
        EXPECT_GT(std::stod(said("convert " + shot + " -threshold 0 -format '%[fx:mean]' info:")), 0.9);

        // A new user scale resizes the restored window and its minimum in proportion: 1.5 x 0.8.
        view.waitFor([](const FrameInfo& f) { return f.windowControls->setScale(0.8f), true; });
        EXPECT_TRUE(view.waitFor([](const FrameInfo& f) { return f.window.w == 1080.0f && f.window.h == 1140.0f; }));
        EXPECT_THAT(said("xprop -id " + id + " WM_NORMAL_HINTS"), HasSubstr("minimum size: 576 by 432"));

        // Opening with the system runs xdg-open, a leading "-" made a path; a missing one is reported.
        const std::string path = getenv("PATH"), fake = server.folder + "/xdg-open";
        run("printf '#!/bin/sh\\necho \"$1\" > %s.said' " + fake + " > " + fake + " && chmod +x " + fake);
        for (const auto& [found, text, opened] : {std::tuple{server.folder + ":" + path, "-take 1.mid", true},
                                                  {"/nonexistent", "/a.mid", false}}) {
            setenv("PATH", found.c_str(), 1);
            ::testing::internal::CaptureStderr();
            bool answer = !opened;
            view.waitFor([&](const FrameInfo&) { return answer = openWithSystem(text), true; });
            EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                      opened ? "" : "tarn-ui: the system could not open " + std::string(text) + "\n");
            EXPECT_EQ(answer, opened) << text;
        }
        setenv("PATH", path.c_str(), 1);
        EXPECT_EQ(said("cat " + fake + ".said"), "./-take 1.mid\n");
    });
    EXPECT_EQ(result, 0);
}

TEST(StandaloneWindow, CaptionBandDragsUnlessOverAnItemAndItsDoubleClickTogglesFullscreen) {
    const Xvfb server;
    ProbeView view;
    runScripted(view, probeOptions(), [&] {
        const std::string id = windowWithTitle("tarn-probe");
        // The caption band is 54 pixels high; the button spans 300..450 x 9..45.
        ASSERT_TRUE(pointerTo(id, view, 900, 27));
        run("xdotool click 1");
        ASSERT_TRUE(pointerTo(id, view, 375, 27) && view.waitFor([&](const FrameInfo&) { return view.buttonHovered; }));
        run("xdotool click 1");
        int mouseDowns = 0;
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return mouseDowns = view.mouseDowns, view.buttonClicks == 1; }));
        EXPECT_EQ(mouseDowns, 1) << "the press on the empty band reached the view";

        for (const auto& [fullscreen, width, height] : {std::tuple{true, 2560.0f, 1600.0f}, {false, 1350.0f, 1425.0f}}) {
            ASSERT_TRUE(pointerTo(id, view, 900, 27));
            ASSERT_TRUE(view.waitFor([](const FrameInfo&) { return !ImGui::IsAnyItemHovered(); }));
            run("xdotool click --repeat 2 --delay 100 1");
            EXPECT_TRUE(view.waitFor([&](const FrameInfo& f) {
                return f.windowControls->isFullscreen() == fullscreen && f.window.w == width && f.window.h == height;
            })) << "fullscreen " << fullscreen;
        }

        // A key pressed and released between two frames still reaches the next one, each time.
        run("xdotool windowfocus --sync " + id);
        for (int taps = 1; taps <= 3; ++taps) {
            run("xdotool key --delay 0 Escape");
            EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.escapes == taps; })) << "tap " << taps;
        }
    });
}

TEST(StandaloneWindow, DroppedFilesReachTheDropStateWithTheirPaths) {
    const Xvfb server;
    ProbeView view;
    runScripted(view, probeOptions(), [&] {
        for (const auto& [type, file] : {std::pair{SDL_DROPBEGIN, ""}, {SDL_DROPFILE, "/tmp/a b.json"},
                                         {SDL_DROPFILE, "/tmp/c.mid"}, {SDL_DROPCOMPLETE, ""}}) {
            SDL_Event event{};
            event.drop.type = type;
            event.drop.file = *file != '\0' ? SDL_strdup(file) : nullptr;
            SDL_PushEvent(&event);
        }
        const std::vector<std::string> expected{"/tmp/a b.json", "/tmp/c.mid"};
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.dropped == expected; }));
    });
}

TEST(StandaloneWindow, QuitRequestsEndTheLoopWithinASecond) {
    const Xvfb server;
    const std::pair<const char*, int> requests[] = {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SDL_QUIT", 0}};
    StandaloneOptions small = probeOptions();
    small.width = 320;
    small.height = 240;
    for (const auto& [name, number] : requests) {
        ProbeView view;
        std::chrono::steady_clock::time_point asked;
        const int result = runScripted(view, small, [&] {
            int frames = 0;
            view.waitFor([&](const FrameInfo&) { return ++frames == 10; });  // past the slower first frames
            asked = std::chrono::steady_clock::now();
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            if (number != 0 ? kill(getpid(), number) != 0 : SDL_PushEvent(&quit) != 1) ADD_FAILURE() << name;
            view.waitFor([](const FrameInfo&) { return false; });  // until the window has gone
        });
        EXPECT_EQ(result, 0) << name;
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count(), 1.0) << name;
    }
}

}  // namespace
}  // namespace tarn::ui::window_tests
