// The window tests' tools: a private X server, commands run as a user would, and a view a script drives.
#pragma once

#include "ui/host/standalone_window.h"
#include "ui/key_commands.h"

#include <imgui.h>

#include <array>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace tarn::ui::window_tests {

// Generous: a loaded two-core machine under the sanitizers is slow, and waits end when met.
constexpr double kPatience = 30.0;

// Runs a shell command line; its exit status (-1 when it did not end normally) and standard output.
int run(const std::string& command, std::string* out = nullptr);

// What runs on the private server beside the window: nothing, or a window manager as on every desktop
// (openbox: small, and it follows the hints SDL sends for maximise, fullscreen and the minimum size).
enum class Desktop { bare, windowManager };

// The screen's size in pixels.
struct ScreenSize {
    int width = 2560, height = 1600;
};

// Xvfb on a free display with Xft.dpi `dpi` (144: scale 1.5), DISPLAY pointing at it and GTK kept
// quiet and away from the user's files; stopped on destruction. Throws when it does not start.
class Xvfb {
public:
    explicit Xvfb(Desktop desktop = Desktop::bare, int dpi = 144, ScreenSize screen = {});
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    const std::string folder;  // an empty temporary folder, removed afterwards
    // Starts the window manager on a server made bare, as a user starts one after the program.
    void startWindowManager();

private:
    void stop();
    FILE* server_ = nullptr;
    int pid_ = -1;
    int windowManager_ = -1;
};

// A visible window with this exact title other than `except`, as soon as one shows; "" if none does.
std::string windowWithTitle(const std::string& title, const std::string& except = "");

// What the X server says of a window (xwininfo, xprop): its place on the screen, its size, the
// smallest size it asks the window manager to keep (WM_NORMAL_HINTS; 0 where it asks none) and states.
struct XWindow {
    int x = 0, y = 0, width = 0, height = 0;
    int minWidth = 0, minHeight = 0;
    bool viewable = false;
    std::string netWmState;  // _NET_WM_STATE's atoms as xprop lists them; "" for none
    std::string wmState;     // WM_STATE's "Normal" or "Iconic"; "" where no window manager set it
    bool has(const std::string& state) const { return netWmState.find(state) != std::string::npos; }
};
std::ostream& operator<<(std::ostream& out, const XWindow& w);
XWindow askServer(const std::string& id);
// Asks the server again until `met` holds or `seconds` pass; the last answer either way.
XWindow waitForServer(const std::string& id, const std::function<bool(const XWindow&)>& met,
                      double seconds = kPatience);
// The root window's _NET_WORKAREA: where a maximised window goes.
std::array<int, 4> workArea();

// A view with a button and the caption buttons in the caption band, the key commands, and a popup
// with a text field, watched and driven by a script on another thread: every check runs inside a
// frame, on the UI thread, with the UI context current.
class ProbeView : public View {
public:
    using Check = std::function<bool(const FrameInfo&)>;
    // With `inside` the probe draws that view in place of its own widgets: a program's view, watched
    // by checks that run after it in every frame.
    explicit ProbeView(View* insideIn = nullptr) : inside_(insideIn) {}
    void draw(const FrameInfo& frame) override;
    // Runs `check` in every frame until it returns true; false if it never did in time or the
    // window has gone.
    bool waitFor(Check check, double seconds = kPatience);
    // Lets `count` frames pass; false if the window went first.
    bool frames(int count);
    // What `what` gives now, between frames (as while the window is minimised and draws none).
    template <class Read>
    auto peek(Read what) {
        const std::lock_guard lock(mutex_);
        return what();
    }
    // What `what` gives inside the next frame (a default value if the window has gone).
    template <class Read>
    auto read(Read what) {
        decltype(what()) value{};
        waitFor([&](const FrameInfo&) { return value = what(), true; });
        return value;
    }
    void finish();
    // Holds the next frame inside its draw while `input` runs: what it sends falls into one slow frame.
    void inOneFrame(const std::function<void()>& input);

    // The UI thread's own (read them inside checks).
    int buttonClicks = 0, mouseDowns = 0, doubleClicks = 0, escapes = 0, spaces = 0, dialogFrames = 0;
    int framesDrawn = 0;
    bool buttonHovered = false;
    std::vector<std::string> dropped;  // the paths of the last drop
    std::vector<KeyCommand> commands;  // the key commands polled, in order
    ImVec2 maximiseAt, minimiseAt;     // the caption buttons' centres, window pixels
    std::string captionText;           // the text the caption buttons drew last (their tooltip)
    bool openField = false;            // set to open the popup with the text field
    std::string fieldText;             // the popup's text field
    ImVec2 fieldAt;                    // its centre while the popup is open

private:
    struct Waiter {
        Check check;
        bool met = false;
    };
    // Runs the checks on this frame and holds it while inOneFrame asks to.
    void endFrame(const FrameInfo& frame, std::unique_lock<std::mutex>& lock);
    View* inside_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Waiter*> waiters_;
    bool finished_ = false;
    bool holdNext_ = false, held_ = false;
};

// Moves the pointer as a user does and waits for a frame that saw it there, at (x, y) in window pixels.
// A move made while the window manager still holds the pointer from a click on the frame never reaches
// the window: the pointer is moved off by a pixel and back, a little later each time, until the deadline.
bool pointerTo(const std::string& window, ProbeView& view, int x, int y);
bool pointerTo(const std::string& window, ProbeView& view, ImVec2 point);

// Runs the window with `view` here and `script` on another thread; the window is closed when the
// script returns. Returns runStandalone's result.
int runScripted(ProbeView& view, const StandaloneOptions& options, const std::function<void()>& script);

}  // namespace tarn::ui::window_tests
