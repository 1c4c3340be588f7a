// The borderless desktop window that shows one view: creation, scale, hit testing, fullscreen and the loop.
//
// Where the Linux window differs from the Windows one it stands in for (SDL2 on X11 and GTK 3 in
// place of Win32, COM and OLE); this list is the one place that keeps them:
// - Scale: the X resource Xft.dpi / 96 where set, else SDL's DPI of the display / 96, else 1, in
//   place of the monitor's DPI. A change of display re-reads it and resizes a restored window in
//   proportion, in place of WM_DPICHANGED's suggested rectangle.
// - The size asked for at the start and at every scale change is capped to the work area of the
//   window's display (never below the minimum size), and the window is placed wholly on it: it
//   opens centred there, and a change moves it only as far as it must. X11 leaves a window taller
//   than the screen hanging off it, with its caption out of reach. The size in logical pixels is
//   kept across scale changes, so a capped or rounded size does not drift: 100 % -> 125 % ->
//   100 % gives back the exact pixels. A size the user gave the window becomes the logical size.
// - The minimum size in pixels is capped to the same work area, so that a large scale on a small
//   screen (480 x 360 at 400 % is 1920 x 1440) neither grows the window past the screen nor keeps
//   the window manager from fitting it there; the view then gives way below its own minimum.
// - The minimum size goes to the window system (WM_NORMAL_HINTS) at creation and at every scale
//   change, in place of answers to WM_GETMINMAXINFO. No window class is registered, and there is
//   no non-client frame to compute (WM_NCCALCSIZE): a maximised window keeps its whole area.
// - Hit testing goes through SDL_SetWindowHitTest and the window manager moves and resizes. SDL
//   reports no presses on a draggable area, so the caption double click that toggles fullscreen
//   is recognised inside the hit test (SDL's double-click time and radius) and posted to the loop.
//   A press released before the manager took the pointer (a quick click) has its move or resize
//   cancelled (_NET_WM_MOVERESIZE_CANCEL): the manager would otherwise move the window until the
//   next release and take the next press, the second click of a double click, as that release.
//   The press that completes a double click moves nothing, as on Windows.
// - Maximise and fullscreen are asked of the window manager; where none runs, or it does not offer
//   the state, the request is refused and the window stays as it is, in place of a system that
//   always grants them. Fullscreen covers the window's display (SDL's desktop fullscreen); leaving
//   it restores the saved position and size, or maximises again.
// - close() ends the loop at its next check in place of posting WM_CLOSE; SDL_QUIT, the window
//   system's close, SIGINT and SIGTERM end it the same way.
// - The loop sleeps 10 ms while the window is minimised or hidden, in place of asking an occluded
//   swap chain; where vsync is refused (as on Xvfb) frames are paced to 60 a second.
// - X11 has no modal move or size loop, so no timer draws during one. While a file dialog is open
//   a 16 ms GLib timeout draws the frames (in place of timer 0x4B44), and the window's own input
//   that arrives meanwhile is discarded (a button pressed meanwhile reads as up until released),
//   so that no click lands while the dialog is open or after it closes.
// - Dear ImGui 1.86 reads keys and modifiers once a frame: a key's second change before a frame,
//   and a modifier's change after a key went down, wait until after that frame, with every later
//   change and typed text behind them; the modifiers are those of each key event, not SDL's state
//   once the queue has been read (a quick Ctrl+S would otherwise be an S). Mouse buttons likewise: each
//   frame takes at most one press or release of a button, the rest wait in order, and a double click
//   is timed by its events, not by the frames that took them.
// - The icon is an RGBA surface decoded by stb_image (no DIB section, no mask); SDL reports no
//   failure when it sets one, so "the window icon could not be made" has no counterpart.
// - Drops come as SDL's drop-begin, drop-file and drop-complete events, without enter, over,
//   leave or a position: the paths reach the drop state as one enter and drop at the pointer's
//   position when the drop completes. The window system shows every drop as accepted; a view
//   that does not want the paths is left with nothing.
// - File dialogs are GTK 3's chooser dialog, owned by the window through its X id (transient for
//   it, modal, centred on it); a failing step writes "tarn-ui: <step> failed" to stderr (no
//   HRESULT, no debugger output). The chooser appends no extension, so the program appends the default one
//   and asks the overwrite question itself, for the name actually written.
// - Opening with the system runs xdg-open (posix_spawnp, no shell, "./" before a leading "-").
// - The screensaver is left on and the compositor is not bypassed, as for any desktop window
//   (SDL would otherwise do both, as it does for games).
#include "ui/host/standalone_window.h"

#include "ui/host/display_scale.h"
#include "ui/host/hit_test.h"
#include "ui/host/host_messages.h"
#include "ui/host/key_tap_latch.h"
#include "ui/host/native_file_dialog.h"
#include "ui/host/system_open_xdg.h"
#include "ui/host/view_host.h"
#include "ui/host/window_icon.h"
#include "ui/host/x11_window_manager.h"
#include "ui/ui_context.h"

#include <SDL.h>
#include <imgui.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tarn::ui {
namespace {

constexpr auto kFramePeriod = std::chrono::microseconds(16667);  // 60 frames a second

std::atomic<int> quitSignal{0};

void onQuitSignal(int) { quitSignal.store(1); }

// SIGINT and SIGTERM end the loop for as long as it runs; the handlers found are put back after.
class QuitSignals {
public:
    QuitSignals() {
        quitSignal.store(0);
        struct sigaction action {};
        action.sa_handler = onQuitSignal;
        action.sa_flags = SA_RESTART;  // the libraries' own system calls carry on; the loop checks the flag
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~QuitSignals() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

[[noreturn]] void noWindow(const std::string& reason) {
    std::fprintf(stderr, "tarn-ui: %s\n", reason.c_str());
    throw std::runtime_error("tarn-ui: could not create the window");
}

// SDL's video subsystem for the window's life. Without a display SDL would quietly pick an
// invisible driver: those are taken only when SDL_VIDEODRIVER asks for them.
class VideoSession {
public:
    VideoSession() {
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) noWindow(std::string("SDL_Init failed: ") + SDL_GetError());
        const char* asked = std::getenv("SDL_VIDEODRIVER");
        const char* driver = SDL_GetCurrentVideoDriver();
        const bool invisible =
            driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
        if (invisible && (asked == nullptr || *asked == '\0')) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            noWindow("no display to show the window on");
        }
    }
    ~VideoSession() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
    VideoSession(const VideoSession&) = delete;
    VideoSession& operator=(const VideoSession&) = delete;
};

struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};

int hintOr(const char* name, int fallback) {
    const char* value = SDL_GetHint(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

SDL_HitTestResult toSdl(WindowHit hit) {
    switch (hit) {
        case WindowHit::caption: return SDL_HITTEST_DRAGGABLE;
        case WindowHit::left: return SDL_HITTEST_RESIZE_LEFT;
        case WindowHit::right: return SDL_HITTEST_RESIZE_RIGHT;
        case WindowHit::top: return SDL_HITTEST_RESIZE_TOP;
        case WindowHit::bottom: return SDL_HITTEST_RESIZE_BOTTOM;
        case WindowHit::topLeft: return SDL_HITTEST_RESIZE_TOPLEFT;
        case WindowHit::topRight: return SDL_HITTEST_RESIZE_TOPRIGHT;
        case WindowHit::bottomLeft: return SDL_HITTEST_RESIZE_BOTTOMLEFT;
        case WindowHit::bottomRight: return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
        case WindowHit::client: break;
    }
    return SDL_HITTEST_NORMAL;
}

// The event the hit test posts for a double click on the caption band.
Uint32 captionDoubleClickEvent() {
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

struct Placement {
    int x = 0, y = 0, width = 0, height = 0;
    bool maximized = false;
};

class StandaloneWindow final : public WindowControls {
public:
    StandaloneWindow(View& view, const StandaloneOptions& options);
    ~StandaloneWindow() override;
    StandaloneWindow(const StandaloneWindow&) = delete;
    StandaloneWindow& operator=(const StandaloneWindow&) = delete;
    int run();

    void minimize() override { SDL_MinimizeWindow(window_.get()); }
    void toggleMaximize() override;
    void toggleFullscreen() override;
    void close() override { running_ = false; }
    bool isMaximized() const override { return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MAXIMIZED) != 0; }
    bool isFullscreen() const override { return fullscreen_; }
    void setScale(float scale) override {
        if (scale > 0.0f && std::isfinite(scale)) pendingScale_ = scale;
    }

private:
    static SDL_HitTestResult onHitTest(SDL_Window*, const SDL_Point* point, void* self);
    static int onSystemEvent(void* self, SDL_Event* event);
    SDL_HitTestResult hitTest(const SDL_Point& point);
    bool uiWantsPointer();
    void pumpEvents(bool inputAllowed);
    void handle(SDL_Event& event, bool inputAllowed);
    void takeDrop(const SDL_Event& event);
    bool drawDuringDialog();
    bool minimisedOrHidden() const {
        return (SDL_GetWindowFlags(window_.get()) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
    }
    int displayIndex() const { return std::max(SDL_GetWindowDisplayIndex(window_.get()), 0); }
    float displayScale() {
        const UiContext* ui = host_.ui();
        return ui != nullptr ? ui->displayScale : 1.0f;
    }
    void rescale(float newScale);
    PixelSize minimumSize() {
        return minimumInside(options_.minWidth, options_.minHeight, displayScale(), displayWorkArea(displayIndex()));
    }
    void applyMinimumSize();
    int pixels(float logical) { return static_cast<int>(std::lroundf(logical * displayScale())); }

    View* view_;
    StandaloneOptions options_;
    VideoSession video_;
    std::unique_ptr<SDL_Window, WindowDeleter> window_;
    ViewHost host_;
    bool running_ = true;
    bool fullscreen_ = false;
    Placement savedPlacement_;
    float pendingScale_ = 0.0f;
    // The restored window's size in logical pixels, and the pixel size last asked for it: the
    // window has that size until the user sizes it.
    float logicalWidth_ = 0.0f, logicalHeight_ = 0.0f;
    int askedWidth_ = 0, askedHeight_ = 0;
    bool vsyncRefused_ = false;
    CaptionClicks captionClicks_;
    // The last press on the window was handed to the window manager as a move or resize.
    bool pressToWindowManager_ = false;
    std::uint32_t presses_ = 0;
    // The X time of the last mouse button event X reported, until SDL queues its own for it.
    std::optional<std::uint32_t> buttonTime_;
    KeyTapLatch keys_;
    std::vector<std::string> dropPaths_;
    std::exception_ptr dialogError_;
};

StandaloneWindow::StandaloneWindow(View& view, const StandaloneOptions& options)
    : view_(&view),
      options_(options),
      logicalWidth_(static_cast<float>(options.width)),
      logicalHeight_(static_cast<float>(options.height)) {
    // The window opens centred on the primary display's work area, at that display's scale.
    const float primaryScale = systemDisplayScale(0) * options_.userScale;
    const auto primaryPixels = [&](int logical) {
        return static_cast<int>(std::lroundf(static_cast<float>(logical) * primaryScale));
    };
    const PixelRect area = displayWorkArea(0);
    const PixelSize minimum = minimumInside(options_.minWidth, options_.minHeight, primaryScale, area);
    PixelRect start = fitInside({0, 0, primaryPixels(options_.width), primaryPixels(options_.height)}, area, minimum);
    start.x = area.x + (area.width - start.width) / 2;
    start.y = area.y + (area.height - start.height) / 2;
    start = fitInside(start, area, minimum);
    window_.reset(
        SDL_CreateWindow(options_.title.c_str(), start.x, start.y, start.width, start.height,
                         SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN));
    if (!window_) noWindow(std::string("SDL_CreateWindow failed: ") + SDL_GetError());
    askedWidth_ = start.width;
    askedHeight_ = start.height;
    if (!host_.attach(window_.get(), systemDisplayScale(displayIndex()) * options_.userScale)) {
        throw std::runtime_error(host_messages::kNoWindowDevice);
    }
    vsyncRefused_ = SDL_GL_SetSwapInterval(1) != 0;
    host_.ui()->systemOpener = xdgOpen;
    host_.dialogRunner = [this](const FileDialogRequest& request) {
        return runNativeFileDialog(request, x11WindowId(window_.get()), [this] { return drawDuringDialog(); });
    };
    applyMinimumSize();
    // SDL keeps its own copy of the icon.
    if (const WindowIcon icon = loadWindowIcon(options_.iconPng)) SDL_SetWindowIcon(window_.get(), icon.get());
    keepUndecorated(window_.get());
    SDL_SetWindowHitTest(window_.get(), onHitTest, this);
    // The system's own events, seen as SDL reads them, in order with the hit tests.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_AddEventWatch(onSystemEvent, this);
    SDL_ShowWindow(window_.get());
}

StandaloneWindow::~StandaloneWindow() {
    SDL_DelEventWatch(onSystemEvent, this);
    SDL_EventState(SDL_SYSWMEVENT, SDL_DISABLE);
}

int StandaloneWindow::run() {
    const QuitSignals signals;
    for (;;) {
        pumpEvents(true);
        if (!running_ || quitSignal.load() != 0) break;
        if (minimisedOrHidden()) {
            SDL_Delay(10);
            continue;
        }
        if (pendingScale_ > 0.0f && host_.ui()) {
            options_.userScale = std::exchange(pendingScale_, 0.0f);
            rescale(systemDisplayScale(displayIndex()) * options_.userScale);
        }
        const auto started = std::chrono::steady_clock::now();
        host_.frameAndDialogs(*view_, this, options_.framed, true);
        if (dialogError_) std::rethrow_exception(std::exchange(dialogError_, nullptr));
        for (SDL_Event& release : keys_.afterFrame()) host_.handleEvent(release);
        if (vsyncRefused_) std::this_thread::sleep_until(started + kFramePeriod);
    }
    return 0;
}

void StandaloneWindow::pumpEvents(bool inputAllowed) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) handle(event, inputAllowed);
}

void StandaloneWindow::handle(SDL_Event& event, bool inputAllowed) {
    if (event.type == SDL_SYSWMEVENT) return;  // seen by onSystemEvent as it came
    const bool drop = event.type >= SDL_DROPFILE && event.type <= SDL_DROPCOMPLETE;
    const bool doubleClick = event.type == captionDoubleClickEvent();
    const bool input = (event.type >= SDL_KEYDOWN && event.type < SDL_CLIPBOARDUPDATE) || drop || doubleClick;
    // Releases still count: a key held when the dialog opened must not stay down after it.
    const bool release = event.type == SDL_KEYUP || event.type == SDL_MOUSEBUTTONUP;
    if (input && !release && !inputAllowed) {
        if (drop) SDL_free(event.drop.file);
        return;
    }
    if (doubleClick) {
        // The press that completed the double click began a move too; it is not one.
        if (static_cast<std::uint32_t>(event.user.code) == presses_ && std::exchange(pressToWindowManager_, false)) {
            cancelWindowManagerDrag(window_.get());
        }
        toggleFullscreen();
        return;
    }
    if (drop) {
        takeDrop(event);
        SDL_free(event.drop.file);
        return;
    }
    if (!keys_.holdBack(event)) host_.handleEvent(event);
    if (event.type == SDL_QUIT) {
        running_ = false;
    } else if (event.type == SDL_WINDOWEVENT) {
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) running_ = false;
        if (event.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
            rescale(systemDisplayScale(displayIndex()) * options_.userScale);
        }
    }
}

void StandaloneWindow::takeDrop(const SDL_Event& event) {
    if (event.type == SDL_DROPBEGIN) dropPaths_.clear();
    if (event.type == SDL_DROPFILE && event.drop.file != nullptr) dropPaths_.emplace_back(event.drop.file);
    if (event.type != SDL_DROPCOMPLETE) return;
    UiContext* ui = host_.ui();
    if (ui == nullptr) return;
    int pointerX = 0, pointerY = 0, windowX = 0, windowY = 0;
    SDL_GetGlobalMouseState(&pointerX, &pointerY);
    SDL_GetWindowPosition(window_.get(), &windowX, &windowY);
    const ImVec2 at(static_cast<float>(pointerX - windowX), static_cast<float>(pointerY - windowY));
    ui->drop.enter(std::exchange(dropPaths_, {}), at);
    ui->drop.drop(at);
}

bool StandaloneWindow::drawDuringDialog() {
    try {
        pumpEvents(false);
        if (!running_ || quitSignal.load() != 0) return false;
        if (!minimisedOrHidden()) host_.frame(*view_, this, options_.framed, false);
        return true;
    } catch (...) {
        // Thrown again by the loop once the dialog has closed: no exception crosses the toolkit.
        dialogError_ = std::current_exception();
        return false;
    }
}

SDL_HitTestResult StandaloneWindow::onHitTest(SDL_Window*, const SDL_Point* point, void* self) {
    return static_cast<StandaloneWindow*>(self)->hitTest(*point);
}

// Called as each event is queued, on the thread that queues it. A release of the press handed to
// the window manager that still reaches the window came before the manager took the pointer: the
// manager would go on moving or sizing the window until the next release, and would take the next
// press (the second click of a double click) as that release.
int StandaloneWindow::onSystemEvent(void* self, SDL_Event* event) {
    auto* window = static_cast<StandaloneWindow*>(self);
    if (event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP) {
        // The event is queued as it stands after this: it carries the time of the X event it came from,
        // seen just before it, in place of the time SDL read it.
        if (const std::optional<std::uint32_t> time = std::exchange(window->buttonTime_, std::nullopt)) {
            event->button.timestamp = *time;
        }
        return 1;
    }
    if (event->type != SDL_SYSWMEVENT) return 1;
    if (const std::optional<std::uint32_t> time = buttonEventTime(*event)) window->buttonTime_ = time;
    if (window->pressToWindowManager_ && isPrimaryButtonRelease(window->window_.get(), *event)) {
        window->pressToWindowManager_ = false;
        cancelWindowManagerDrag(window->window_.get());
    }
    return 1;
}

SDL_HitTestResult StandaloneWindow::hitTest(const SDL_Point& point) {
    HitTestInput in;
    in.x = point.x;
    in.y = point.y;
    SDL_GetWindowSize(window_.get(), &in.width, &in.height);
    in.scale = displayScale();
    in.captionHeight = options_.captionHeight;
    in.restored = !isMaximized() && !fullscreen_;
    in.uiWantsPointer = uiWantsPointer();
    const WindowHit hit = classifyHit(in);
    pressToWindowManager_ = hit != WindowHit::client;
    ++presses_;
    if (hit != WindowHit::caption) {
        captionClicks_.reset();
    } else if (captionClicks_.press(SDL_GetTicks(), point.x, point.y,
                                    static_cast<std::uint32_t>(hintOr(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, 500)),
                                    hintOr(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, 32))) {
        SDL_Event event{};
        event.type = captionDoubleClickEvent();
        event.user.code = static_cast<Sint32>(presses_);
        SDL_PushEvent(&event);
    }
    return toSdl(hit);
}

bool StandaloneWindow::uiWantsPointer() {
    UiContext* ui = host_.ui();
    if (ui == nullptr) return false;
    const ContextScope scope(*ui);
    return ImGui::IsAnyItemHovered() || ImGui::IsAnyItemActive() ||
           ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
}

void StandaloneWindow::toggleMaximize() {
    if (fullscreen_) {
        toggleFullscreen();
    } else if (isMaximized()) {
        SDL_RestoreWindow(window_.get());
    } else if (windowManagerOffers(window_.get(), "_NET_WM_STATE_MAXIMIZED_VERT")) {
        // SDL marks the window maximised as it asks; unanswered, the mark would stay.
        SDL_MaximizeWindow(window_.get());
    }
}

void StandaloneWindow::toggleFullscreen() {
    SDL_Window* window = window_.get();
    if (!fullscreen_) {
        // SDL takes the screen's size for the window's as it asks; unanswered, the view would be
        // laid out for a screen the window does not cover.
        if (!windowManagerOffers(window, "_NET_WM_STATE_FULLSCREEN")) return;
        SDL_GetWindowPosition(window, &savedPlacement_.x, &savedPlacement_.y);
        SDL_GetWindowSize(window, &savedPlacement_.width, &savedPlacement_.height);
        savedPlacement_.maximized = isMaximized();
        fullscreen_ = true;
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    fullscreen_ = false;
    SDL_SetWindowFullscreen(window, 0);
    // Not every window manager puts the window back where it was.
    if (savedPlacement_.maximized) {
        SDL_MaximizeWindow(window);
    } else {
        SDL_SetWindowSize(window, savedPlacement_.width, savedPlacement_.height);
        SDL_SetWindowPosition(window, savedPlacement_.x, savedPlacement_.y);
    }
}

void StandaloneWindow::rescale(float newScale) {
    UiContext* ui = host_.ui();
    if (ui == nullptr) return;
    // Read before the new minimum, which may grow the window.
    PixelRect now;
    SDL_GetWindowPosition(window_.get(), &now.x, &now.y);
    SDL_GetWindowSize(window_.get(), &now.width, &now.height);
    const bool restored = !isMaximized() && !fullscreen_;
    if (restored && (now.width != askedWidth_ || now.height != askedHeight_)) {
        logicalWidth_ = static_cast<float>(now.width) / ui->displayScale;
        logicalHeight_ = static_cast<float>(now.height) / ui->displayScale;
    }
    setDisplayScale(*ui, newScale);
    applyMinimumSize();
    if (!restored) return;
    const PixelRect fitted = fitInside({now.x, now.y, pixels(logicalWidth_), pixels(logicalHeight_)},
                                       displayWorkArea(displayIndex()), minimumSize());
    askedWidth_ = fitted.width;
    askedHeight_ = fitted.height;
    SDL_SetWindowSize(window_.get(), fitted.width, fitted.height);
    if (fitted.x != now.x || fitted.y != now.y) SDL_SetWindowPosition(window_.get(), fitted.x, fitted.y);
}

void StandaloneWindow::applyMinimumSize() {
    const PixelSize minimum = minimumSize();
    SDL_SetWindowMinimumSize(window_.get(), minimum.width, minimum.height);
}

}  // namespace

int runStandalone(View& view, const StandaloneOptions& options) {
    StandaloneWindow window(view, options);
    return window.run();
}

}  // namespace tarn::ui
