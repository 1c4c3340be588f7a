// The view host on a real SDL window: clock, re-entry guard, content insets and the dialog hand-over.
#include "ui/host/view_host.h"
#include "ui/file_dialog.h"
#include "ui/ui_context.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace tarn::ui {
namespace {

// Without a display SDL falls back to its offscreen driver, which still gives GL windows;
// the tests force it so that they behave the same with and without one.
class ViewHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("test", 0, 0, 300, 200, SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
        ASSERT_NE(window, nullptr) << SDL_GetError();
    }
    void TearDown() override {
        host.detach();
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_Window* window = nullptr;
    ViewHost host;
};

struct Recorder : View {
    std::vector<FrameInfo> frames;
    ViewHost* nested = nullptr;
    FrameResult nestedResult = FrameResult::presented;
    void draw(const FrameInfo& frame) override {
        frames.push_back(frame);
        if (nested) nestedResult = nested->frame(*this, nullptr, false, false);
    }
};

TEST_F(ViewHostTest, FirstFrameStartsTheClockAtZero) {
    ASSERT_TRUE(host.attach(window, 1.0f));
    Recorder view;
    EXPECT_NE(host.frame(view, nullptr, true, false), FrameResult::refused);
    SDL_Delay(5);
    EXPECT_NE(host.frame(view, nullptr, true, false), FrameResult::refused);
    ASSERT_EQ(view.frames.size(), 2u);
    EXPECT_EQ(view.frames[0].time, 0.0);
    EXPECT_EQ(view.frames[0].dt, 0.0f);
    EXPECT_GT(view.frames[1].dt, 0.0f);
    EXPECT_DOUBLE_EQ(view.frames[1].time, static_cast<double>(view.frames[1].dt));
}

TEST_F(ViewHostTest, EachFrameStepIsTheTimeSinceThePreviousFrame) {
    ASSERT_TRUE(host.attach(window, 1.0f));
    Recorder view;
    using Clock = std::chrono::steady_clock;
    Clock::time_point previousStart = Clock::now();
    host.frame(view, nullptr, false, false);
    double total = 0.0;
    for (const int pauseMs : {2, 15, 40}) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        const Clock::time_point start = Clock::now();
        host.frame(view, nullptr, false, false);
        // The step spans the pause, and no more than the time from the start of the previous call
        // to the end of this one.
        const double outer = std::chrono::duration<double>(Clock::now() - previousStart).count();
        const float dt = view.frames.back().dt;
        total += static_cast<double>(dt);
        EXPECT_GE(dt, pauseMs / 1000.0f) << pauseMs << " ms";
        EXPECT_LE(dt, outer) << pauseMs << " ms";
        EXPECT_NEAR(view.frames.back().time, total, 1e-6) << pauseMs << " ms";
        previousStart = start;
    }
}

TEST_F(ViewHostTest, AFrameAskedForInsideAFrameIsRefused) {
    ASSERT_TRUE(host.attach(window, 1.0f));
    Recorder view;
    view.nested = &host;
    EXPECT_NE(host.frame(view, nullptr, false, false), FrameResult::refused);
    EXPECT_EQ(view.nestedResult, FrameResult::refused);
    EXPECT_EQ(view.frames.size(), 1u);
    // The guard is down again after the frame.
    view.nested = nullptr;
    EXPECT_NE(host.frame(view, nullptr, false, false), FrameResult::refused);
}

TEST_F(ViewHostTest, ContentIsInsetMoreWhenFramedAndScalesWithTheDisplay) {
    ASSERT_TRUE(host.attach(window, 2.0f));
    Recorder view;
    host.frame(view, nullptr, true, false);
    host.frame(view, nullptr, false, false);
    ASSERT_EQ(view.frames.size(), 2u);
    EXPECT_EQ(view.frames[0].displayScale, 2.0f);
    EXPECT_FLOAT_EQ(view.frames[0].content.x, 50.0f);
    EXPECT_FLOAT_EQ(view.frames[0].content.w, view.frames[0].window.w - 100.0f);
    EXPECT_FLOAT_EQ(view.frames[1].content.y, 40.0f);
}

TEST_F(ViewHostTest, UnattachedOrDetachedHostRefusesFrames) {
    Recorder view;
    EXPECT_EQ(host.frame(view, nullptr, false, false), FrameResult::refused);
    ASSERT_TRUE(host.attach(window, 1.0f));
    host.detach();
    host.detach();
    EXPECT_EQ(host.frame(view, nullptr, false, false), FrameResult::refused);
    EXPECT_TRUE(view.frames.empty());
    EXPECT_FALSE(host.attach(nullptr, 1.0f));
}

// Queues a dialog on its first frame and picks the answer up later.
struct DialogView : View {
    int frame = 0;
    std::optional<FileDialogResult> answer;
    void draw(const FrameInfo&) override {
        if (frame++ == 0) {
            FileDialogOptions options;
            options.title = "Open";
            EXPECT_TRUE(requestFileDialog("open", options));
        } else if (!answer) {
            answer = takeFileDialogResult("open");
        }
    }
};

TEST_F(ViewHostTest, AQueuedDialogRunsAfterTheFrameAndItsAnswerReachesTheRequester) {
    ASSERT_TRUE(host.attach(window, 1.0f));
    int runs = 0;
    DialogView view;
    host.dialogRunner = [&](const FileDialogRequest& request) {
        ++runs;
        EXPECT_EQ(request.options.title, "Open");
        // Frames drawn while the dialog is open draw, and start no second dialog.
        EXPECT_NE(host.frameAndDialogs(view, nullptr, false, false), FrameResult::refused);
        FileDialogResult result;
        result.paths = {"/tmp/a.json"};
        return result;
    };
    host.frameAndDialogs(view, nullptr, false, false);
    EXPECT_EQ(runs, 1);
    host.frameAndDialogs(view, nullptr, false, false);
    ASSERT_TRUE(view.answer.has_value());
    EXPECT_EQ(view.answer->status, FileDialogResult::chosen);
    EXPECT_EQ(view.answer->paths, std::vector<std::string>{"/tmp/a.json"});
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace tarn::ui
