// The standalone window on a private X server at scale 1.5, used through xdotool as a user would,
// under a window manager as on every desktop, and once without one. What the window did is read
// from the X server, never from the window's own belief.
#include "tests/window/window_fixture.h"
#include "ui/embedded.h"
#include "ui/file_dialog.h"
#include "ui/system_open.h"

#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
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

std::string at(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

// A frame laid out for exactly the X window's size.
bool viewMatches(ProbeView& view, const XWindow& w) {
    return view.waitFor([&](const FrameInfo& f) {
        return f.window.w == static_cast<float>(w.width) && f.window.h == static_cast<float>(w.height);
    });
}

XWindow placed(int x, int y, int width, int height) {
    XWindow w;
    w.x = x;
    w.y = y;
    w.width = width;
    w.height = height;
    return w;
}

bool sameGeometry(const XWindow& a, const XWindow& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// The caption buttons' tooltip, once the pointer has rested on the button long enough.
bool captionReads(ProbeView& view, const std::string& text) {
    return view.waitFor([&](const FrameInfo&) { return view.captionText.find(text) != std::string::npos; });
}

// Presses at (x, y) in the window and moves the pointer by (dx, dy) in two steps some frames apart,
// so that the window manager has taken the pointer before the last; releases once the server shows
// `arrived`, and returns the server's answer after the release.
XWindow drag(const std::string& id, ProbeView& view, int x, int y, int dx, int dy,
             const std::function<bool(const XWindow&)>& arrived) {
    run("xdotool mousemove --window " + id + " " + at(x, y) + " mousedown 1");
    view.frames(3);
    run("xdotool mousemove_relative -- " + at(dx / 2, dy / 2));
    view.frames(3);
    run("xdotool mousemove_relative -- " + at(dx - dx / 2, dy - dy / 2));
    waitForServer(id, arrived);
    run("xdotool mouseup 1");
    return waitForServer(id, arrived);
}

TEST(StandaloneWindow, OpensAtTheDisplayScaleWithItsMinimumSizeAndIconAndShowsTheView) {
    const Xvfb server(Desktop::windowManager);
    ProbeView view;
    const int result = runScripted(view, probeOptions(), [&] {
        const std::string id = windowWithTitle("tarn-probe");
        const XWindow shown = waitForServer(id, [](const XWindow& now) { return now.viewable; });
        EXPECT_EQ(shown.width, 1350) << shown;
        EXPECT_EQ(shown.height, 1425) << shown;
        EXPECT_TRUE(viewMatches(view, shown));
        EXPECT_THAT(said("xprop -id " + id + " WM_NORMAL_HINTS"), HasSubstr("minimum size: 720 by 540"));
        EXPECT_THAT(said("xprop -id " + id + " _NET_WM_ICON"), HasSubstr("Icon (76 x 76)"));

        // The screen shows the view: its magenta block, and no black but the theme's thin frame.
        const std::string shot = server.folder + "/shot.png";
        ASSERT_EQ(run("/usr/bin/import -window " + id + " " + shot), 0);
        EXPECT_EQ(said("convert " + shot + " -format '%wx%h %[hex:p{187,277}]' info:"), "1350x1425 FF00FF");
        EXPECT_GT(std::stod(said("convert " + shot + " -threshold 0 -format '%[fx:mean]' info:")), 0.9);

        // A new user scale resizes the restored window and its minimum in proportion: 1.5 x 0.8.
        view.waitFor([](const FrameInfo& f) { return f.windowControls->setScale(0.8f), true; });
        const XWindow rescaled =
            waitForServer(id, [](const XWindow& now) { return now.width == 1080 && now.height == 1140; });
        EXPECT_EQ(rescaled.width, 1080) << rescaled;
        EXPECT_EQ(rescaled.height, 1140) << rescaled;
        EXPECT_TRUE(viewMatches(view, rescaled));
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
    const Xvfb server(Desktop::windowManager);
    ProbeView view;
    runScripted(view, probeOptions(), [&] {
        const std::string id = windowWithTitle("tarn-probe");
        const XWindow restored = waitForServer(id, [](const XWindow& now) { return now.viewable; });
        // The caption band is 54 pixels high; the button spans 300..450 x 9..45. A quick click on the
        // band hands the window manager a move that ends with it: the window stays where it is.
        ASSERT_TRUE(pointerTo(id, view, 900, 27));
        run("xdotool click 1");
        ASSERT_TRUE(pointerTo(id, view, 375, 27) && view.waitFor([&](const FrameInfo&) { return view.buttonHovered; }));
        run("xdotool click 1");
        int mouseDowns = 0;
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return mouseDowns = view.mouseDowns, view.buttonClicks == 1; }));
        EXPECT_EQ(mouseDowns, 1) << "the press on the empty band reached the view";
        const XWindow clicked = askServer(id);
        EXPECT_TRUE(sameGeometry(clicked, restored)) << clicked << " after clicks, was " << restored;

        // Quick clicks, as xdotool makes them: each release comes before the window manager takes the
        // pointer. The screen is 2560 x 1600.
        const XWindow screen = placed(0, 0, 2560, 1600);
        for (const auto& [fullscreen, expected] : {std::pair{true, screen}, {false, restored}}) {
            ASSERT_TRUE(pointerTo(id, view, 900, 27));
            ASSERT_TRUE(view.waitFor([](const FrameInfo&) { return !ImGui::IsAnyItemHovered(); }));
            run("xdotool click --repeat 2 --delay 100 1");
            const XWindow w = waitForServer(id, [&](const XWindow& now) {
                return sameGeometry(now, expected) && now.has("_NET_WM_STATE_FULLSCREEN") == fullscreen;
            });
            EXPECT_TRUE(sameGeometry(w, expected) && w.has("_NET_WM_STATE_FULLSCREEN") == fullscreen)
                << "fullscreen " << fullscreen << ": " << w;
            EXPECT_TRUE(viewMatches(view, w)) << w;
            EXPECT_TRUE(
                view.waitFor([&](const FrameInfo& f) { return f.windowControls->isFullscreen() == fullscreen; }));
        }

        // A key pressed and released between two frames still reaches the next one, each time.
        run("xdotool windowfocus --sync " + id);
        for (int taps = 1; taps <= 3; ++taps) {
            run("xdotool key --delay 0 Escape");
            EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.escapes == taps; })) << "tap " << taps;
        }
    });
}

// However long a frame takes, every press and release reaches the view in order, and two presses make
// a double click by the time between them as the user made them, not by the frames that took them.
TEST(StandaloneWindow, EveryClickInASlowFrameCountsAndADoubleClickIsTimedByItsPresses) {
    const Xvfb server(Desktop::windowManager);
    ProbeView view;
    runScripted(view, probeOptions(), [&] {
        ASSERT_TRUE(pointerTo(windowWithTitle("tarn-probe"), view, 375, 27) &&
                    view.waitFor([&](const FrameInfo&) { return view.buttonHovered; }));
        const auto counts = [&] { return std::pair(view.buttonClicks, view.doubleClicks); };
        // Each burst falls into one slow frame: its clicks, and the double clicks among them (quick ones,
        // their presses well inside the double-click time also on a loaded machine).
        for (const auto& [clicks, count, doubles] : {std::tuple{"click 1", 1, 0},
                                                     {"click --repeat 2 --delay 30 1", 2, 1},
                                                     {"click --repeat 2 --delay 400 1", 2, 0},
                                                     {"click --repeat 5 --delay 30 1", 5, 1}}) {
            const std::pair<int, int> before = view.read(counts);
            view.inOneFrame([&] { run(std::string("xdotool ") + clicks); });
            view.waitFor([&](const FrameInfo&) { return view.buttonClicks >= before.first + count; });
            view.frames(5);
            EXPECT_EQ(view.read(counts), std::pair(before.first + count, before.second + doubles)) << clicks;
        }
    });
}

TEST(StandaloneWindow, CaptionButtonsMaximiseRestoreAndMinimiseTheWindow) {
    const Xvfb server(Desktop::windowManager);
    ProbeView view;
    runScripted(view, probeOptions(), [&] {
        const std::string id = windowWithTitle("tarn-probe");
        const XWindow restored = waitForServer(id, [](const XWindow& now) { return now.viewable; });
        const std::array<int, 4> area = workArea();
        const XWindow maximised = placed(area[0], area[1], area[2], area[3]);
        ASSERT_GT(maximised.width, 0);

        ASSERT_TRUE(pointerTo(id, view, view.read([&] { return view.maximiseAt; })));
        EXPECT_TRUE(captionReads(view, "Maximise"));
        run("xdotool click 1");
        XWindow w = waitForServer(id, [&](const XWindow& now) {
            return sameGeometry(now, maximised) && now.has("MAXIMIZED_VERT") && now.has("MAXIMIZED_HORZ");
        });
        EXPECT_TRUE(sameGeometry(w, maximised) && w.has("_NET_WM_STATE_MAXIMIZED_VERT") &&
                    w.has("_NET_WM_STATE_MAXIMIZED_HORZ"))
            << w;
        EXPECT_TRUE(viewMatches(view, w));

        // The resize borders are off: a press on the right edge reaches the view.
        const int downs = view.read([&] { return view.mouseDowns; });
        ASSERT_TRUE(pointerTo(id, view, w.width - 3, 700));
        run("xdotool click 1");
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.mouseDowns == downs + 1; }));

        // The same button, moved with the window's right end, now reads Restore and restores.
        ASSERT_TRUE(pointerTo(id, view, view.read([&] { return view.maximiseAt; })));
        EXPECT_TRUE(captionReads(view, "Restore"));
        run("xdotool click 1");
        w = waitForServer(id, [&](const XWindow& now) { return sameGeometry(now, restored) && !now.has("MAXIMIZED"); });
        EXPECT_TRUE(sameGeometry(w, restored) && !w.has("MAXIMIZED")) << w << ", was " << restored;
        EXPECT_TRUE(viewMatches(view, w));

        // Minimise iconifies; activating the window brings it back, drawing again.
        ASSERT_TRUE(pointerTo(id, view, view.read([&] { return view.minimiseAt; })));
        run("xdotool click 1");
        w = waitForServer(id, [](const XWindow& now) { return now.wmState == "Iconic" && !now.viewable; });
        EXPECT_EQ(w.wmState, "Iconic") << w;
        EXPECT_FALSE(w.viewable) << w;
        const int drawn = view.peek([&] { return view.framesDrawn; });
        run("xdotool windowactivate " + id);
        w = waitForServer(id, [](const XWindow& now) { return now.wmState == "Normal" && now.viewable; });
        EXPECT_EQ(w.wmState, "Normal") << w;
        EXPECT_TRUE(sameGeometry(w, restored)) << w;
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.framesDrawn > drawn + 3; }));
        const std::string shot = server.folder + "/back.png";
        ASSERT_EQ(run("/usr/bin/import -window " + id + " " + shot), 0);
        EXPECT_EQ(said("convert " + shot + " -format '%[hex:p{187,277}]' info:"), "FF00FF");
    });
}

TEST(StandaloneWindow, DragsOnTheBandAndTheEdgesMoveAndResizeTheWindowDownToItsMinimum) {
    const Xvfb server(Desktop::windowManager);
    ProbeView view;
    runScripted(view, probeOptions(), [&] {
        const std::string id = windowWithTitle("tarn-probe");
        const XWindow start = waitForServer(id, [](const XWindow& now) { return now.viewable; });
        // A quick click on the right edge sizes nothing, then or with the pointer's next move.
        run("xdotool mousemove --window " + id + " " + at(start.width - 3, 700) + " click 1");
        ASSERT_TRUE(pointerTo(id, view, 700, 700));
        const XWindow clicked = askServer(id);
        EXPECT_TRUE(sameGeometry(clicked, start)) << clicked << " after a click on the edge, was " << start;
        struct Case {
            const char* what;
            bool fromCorner, fromRightEdge;  // else from the band
            int dx, dy;
            int x, y, width, height;  // expected, from the window before the drag
        };
        const Case cases[] = {
            {"band moves", false, false, -150, -50, -150, -50, 0, 0},
            {"right edge widens", false, true, 100, 40, 0, 0, 100, 0},
            {"corner resizes", true, false, 60, 50, 0, 0, 60, 50},
        };
        XWindow before = start;
        for (const Case& c : cases) {
            const XWindow expected =
                placed(before.x + c.x, before.y + c.y, before.width + c.width, before.height + c.height);
            const int x = c.fromCorner || c.fromRightEdge ? before.width - 3 : 900;
            const int y = c.fromCorner ? before.height - 3 : c.fromRightEdge ? 700 : 27;
            const XWindow after =
                drag(id, view, x, y, c.dx, c.dy, [&](const XWindow& now) { return sameGeometry(now, expected); });
            EXPECT_TRUE(sameGeometry(after, expected)) << c.what << ": " << after << ", expected " << expected;
            EXPECT_TRUE(viewMatches(view, after)) << c.what;
            before = after;
        }
        // Far past the minimum: the window stops at 720 x 540 (480 x 360 at scale 1.5).
        const XWindow smallest = drag(id, view, before.width - 3, before.height - 3, -2000, -2000,
                                      [](const XWindow& now) { return now.width == 720 && now.height == 540; });
        EXPECT_EQ(smallest.width, 720) << smallest;
        EXPECT_EQ(smallest.height, 540) << smallest;
        EXPECT_TRUE(viewMatches(view, smallest));
    });
}

TEST(StandaloneWindow, WithoutAWindowManagerFullscreenAndMaximiseAreRefusedAndTheViewKeepsTheWindowsSize) {
    const Xvfb server(Desktop::bare);
    ProbeView view;
    runScripted(view, probeOptions(), [&] {
        const std::string id = windowWithTitle("tarn-probe");
        const XWindow opened = waitForServer(id, [](const XWindow& now) { return now.viewable; });
        EXPECT_EQ(opened.width, 1350) << opened;
        EXPECT_EQ(opened.height, 1425) << opened;

        // A caption double click, then the maximise button: nothing answers either request.
        ASSERT_TRUE(pointerTo(id, view, 900, 27));
        run("xdotool click --repeat 2 --delay 100 1");
        view.frames(10);
        XWindow w = askServer(id);
        EXPECT_TRUE(sameGeometry(w, opened) && w.netWmState.empty()) << w << ", was " << opened;
        EXPECT_TRUE(viewMatches(view, w)) << w;

        ASSERT_TRUE(pointerTo(id, view, view.read([&] { return view.maximiseAt; })));
        run("xdotool click 1");
        view.frames(10);
        w = askServer(id);
        EXPECT_TRUE(sameGeometry(w, opened) && w.netWmState.empty()) << w << ", was " << opened;
        EXPECT_TRUE(viewMatches(view, w)) << w;
        EXPECT_TRUE(captionReads(view, "Maximise"));
    });
}

TEST(StandaloneWindow, QuickChordsGiveTheirCommandOnceAndSelectAllInATextField) {
    const Xvfb server(Desktop::windowManager);
    ProbeView view;
    runScripted(view, probeOptions(), [&] {
        const std::string id = windowWithTitle("tarn-probe");
        run("xdotool windowactivate --sync " + id);
        // xdotool's default leaves 12 ms between the events of a chord; --delay 0 sends them at once,
        // within one frame.
        const std::pair<const char*, KeyCommand> chords[] = {
            {"key ctrl+s", KeyCommand::Save},           {"key ctrl+o", KeyCommand::Open},
            {"key --delay 0 ctrl+s", KeyCommand::Save}, {"key --delay 0 ctrl+o", KeyCommand::Open},
        };
        std::vector<KeyCommand> expected;
        for (const auto& [keys, command] : chords) {
            run(std::string("xdotool ") + keys);
            expected.push_back(command);
            view.waitFor([&](const FrameInfo&) { return view.commands.size() >= expected.size(); });
            view.frames(5);
            EXPECT_EQ(view.read([&] { return view.commands; }), expected) << keys;
        }
        int spaces = 0;
        for (const char* keys : {"key space", "key --delay 0 space"}) {
            run(std::string("xdotool ") + keys);
            ++spaces;
            view.waitFor([&](const FrameInfo&) { return view.spaces >= spaces; });
            view.frames(5);
            EXPECT_EQ(view.read([&] { return view.spaces; }), spaces) << keys;
        }

        // The text field of a popup, clicked into and typed in; Ctrl+A then a letter replaces it all.
        view.waitFor([&](const FrameInfo&) { return view.openField = true; });
        ImVec2 field;
        ASSERT_TRUE(view.waitFor([&](const FrameInfo&) { return field = view.fieldAt, field.x > 0.0f; }));
        pointerTo(id, view, field);
        run("xdotool click 1 type tarn");
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.fieldText == "tarn"; }));
        // Text past U+FFFF, as SDL hands on what an input method typed.
        SDL_Event typed{};
        typed.text.type = SDL_TEXTINPUT;
        std::snprintf(typed.text.text, sizeof typed.text.text, "%s", " 🎸𝄞");
        SDL_PushEvent(&typed);
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.fieldText == "tarn 🎸𝄞"; }));
        for (const char* keys : {"key ctrl+a", "key --delay 0 ctrl+a"}) {
            run(std::string("xdotool ") + keys);
            view.frames(3);
            run("xdotool type xy");
            std::string text;
            view.waitFor([&](const FrameInfo&) { return text = view.fieldText, text.ends_with("xy"); });
            EXPECT_EQ(text, "xy") << keys;
        }
        EXPECT_EQ(view.read([&] { return view.commands; }), expected) << "a key command while the popup was open";
    });
}

// Answers the open file dialog with Escape, again while the chooser is still loading and ignores keys.
bool cancelDialog(ProbeView& view, const std::string& dialog) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        run("xdotool windowfocus --sync " + dialog + " key Escape");
        if (view.waitFor([](const FrameInfo&) { return takeFileDialogResult("probe.dialog").has_value(); }, 3.0)) {
            return true;
        }
    }
    return false;
}

void clicksDuringADialog() {
    const Xvfb server(Desktop::windowManager);
    ProbeView view;
    runScripted(view, probeOptions(), [&] {
        const std::string id = windowWithTitle("tarn-probe");
        FileDialogOptions options;
        options.title = "Probe-dialog";
        options.defaultFolder = server.folder;
        view.waitFor([&](const FrameInfo&) { return requestFileDialog("probe.dialog", options); });
        const std::string dialog = windowWithTitle(options.title);
        ASSERT_FALSE(dialog.empty());

        // The probe's button, uncovered (the dialog, which stays above the window, moved down off
        // it) and hovered in the frames the dialog's loop draws; clicked quickly, and held across
        // frames as a hand does.
        run("xdotool windowmove " + dialog + " 320 400");
        waitForServer(dialog, [](const XWindow& w) { return w.y >= 400; });
        run("xdotool mousemove --window " + id + " 375 27");
        ASSERT_TRUE(view.waitFor([&](const FrameInfo&) { return view.dialogFrames > 0 && view.buttonHovered; }));
        for (const char* click : {"click 1", "mousedown 1 sleep 0.1 mouseup 1"}) {
            const int frames = view.read([&] { return view.dialogFrames; });
            run(std::string("xdotool ") + click);
            EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.dialogFrames >= frames + 10; })) << click;
        }
        ASSERT_TRUE(cancelDialog(view, dialog));
        view.frames(5);
        EXPECT_EQ(view.read([&] { return view.buttonClicks; }), 0);
        EXPECT_EQ(view.read([&] { return view.mouseDowns; }), 0);

        // Once the dialog has gone the same click lands.
        ASSERT_TRUE(pointerTo(id, view, 375, 27));
        const int clicks = view.read([&] { return view.buttonClicks; });
        run("xdotool click 1");
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.buttonClicks == clicks + 1; }));
    });
}

// Ends a test's own process with its verdict; its failures go to stderr for the parent to show.
[[noreturn]] void exitWithVerdict() {
    const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
    for (int i = 0; i < result->total_part_count(); ++i) {
        const ::testing::TestPartResult& part = result->GetTestPartResult(i);
        if (part.failed()) std::fprintf(stderr, "%s:%d: %s\n", part.file_name(), part.line_number(), part.message());
    }
    std::exit(::testing::Test::HasFailure() ? 1 : 0);
}

TEST(StandaloneWindow, ClicksOnTheWindowWhileAFileDialogRunsReachNothing) {
    // In a process of its own: GTK, once started on a display, stays on it, and an earlier test's
    // server has gone.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            clicksDuringADialog();
            exitWithVerdict();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(StandaloneWindow, DroppedFilesReachTheDropStateWithTheirPaths) {
    const Xvfb server(Desktop::windowManager);
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
    const Xvfb server(Desktop::windowManager);
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
