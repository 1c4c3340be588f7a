// The window tests' tools: a private X server, commands run as a user would, and a view a script drives.
#include "tests/window/window_fixture.h"

#include "tests/ui/logged_text.h"

#include "ui/caption_buttons.h"
#include "ui/imgui_compat.h"
#include "ui/popup.h"
#include "ui/text_field.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>
#include <utility>

namespace tarn::ui::window_tests {
namespace {

// Asks `met` again, a little later each time, until it holds or `seconds` pass.
bool holdsWithin(double seconds, const std::function<bool()>& met) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (int wait = 5; !met(); wait = std::min(wait * 2, 100)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    }
    return true;
}

// Whether child `pid` has ended, leaving it to be reaped by whoever started it.
bool processEnded(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0;
}

// Asks the process to end, and ends it outright when it has not within the patience: a window
// manager caught starting up can let the request pass, and a test must not hang on it.
void endProcess(pid_t pid) {
    kill(pid, SIGTERM);
    if (holdsWithin(kPatience, [pid] { return waitpid(pid, nullptr, WNOHANG) != 0; })) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::string temporaryFolder() {
    char name[] = "/tmp/tarn-window-XXXXXX";
    if (mkdtemp(name) == nullptr) throw std::runtime_error("no temporary folder");
    return name;
}

}  // namespace

int run(const std::string& command, std::string* out) {
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        if (out != nullptr) out->append(buffer, n);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Xvfb::Xvfb(Desktop desktop, int dpi, ScreenSize screen) : folder(temporaryFolder()) {
    // The server takes the first free display and names it once it accepts connections.
    const std::string command = "echo $$; exec Xvfb -displayfd 1 -screen 0 " + std::to_string(screen.width) + "x" +
                                std::to_string(screen.height) + "x24 -noreset -nolisten tcp 2>/dev/null";
    server_ = popen(command.c_str(), "r");
    int display = -1;
    if (server_ == nullptr || std::fscanf(server_, "%d %d", &pid_, &display) != 2) {
        throw std::runtime_error("Xvfb did not start");
    }
    std::string displayName = std::to_string(display);
    displayName.insert(0, 1, ':');
    setenv("DISPLAY", displayName.c_str(), 1);
    // Without it every size test fails: loaded again until the server holds it.
    const std::string resource = "Xft.dpi:\t" + std::to_string(dpi) + "\n";
    if (!holdsWithin(kPatience, [&] {
            std::string said;
            run("echo 'Xft.dpi: " + std::to_string(dpi) + "' | xrdb -nocpp -load && xrdb -query", &said);
            return said.find(resource) != std::string::npos;
        })) {
        stop();
        throw std::runtime_error("the server did not take Xft.dpi");
    }
    for (const char* name : {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "GTK_USE_PORTAL"}) unsetenv(name);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + folder + "/no-bus").c_str(), 1);
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        setenv(name, folder.c_str(), 1);
    }
    if (desktop != Desktop::windowManager) return;
    try {
        startWindowManager();
    } catch (...) {
        stop();
        throw;
    }
}

void Xvfb::startWindowManager() {
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("no process for the window manager");
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    windowManager_ = child;
    // The manager announces itself on the root window once it manages the screen, and says where
    // maximised windows go.
    const bool started = holdsWithin(kPatience, [] {
        std::string said;
        run("xprop -root _NET_SUPPORTING_WM_CHECK", &said);
        return said.find("window id") != std::string::npos && workArea()[2] > 0;
    });
    if (!started) throw std::runtime_error("the window manager did not start");
}

Xvfb::~Xvfb() { stop(); }

void Xvfb::stop() {
    if (windowManager_ > 0) endProcess(windowManager_);
    if (pid_ > 0) {
        // The server is popen's own child (its shell exec'd into it): pclose reaps it below.
        kill(pid_, SIGTERM);
        if (!holdsWithin(kPatience, [this] { return processEnded(pid_); })) kill(pid_, SIGKILL);
    }
    if (server_ != nullptr) pclose(server_);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string windowWithTitle(const std::string& title, const std::string& except) {
    // The search walks the window tree and fails outright when a window in it vanishes meanwhile (a
    // tooltip, a dialog going away): that answer is asked again like any other miss.
    std::string window;
    holdsWithin(kPatience, [&] {
        std::string ids;
        run("xdotool search --onlyvisible --name '^" + title + "$'", &ids);
        std::istringstream found(ids);
        for (std::string id; std::getline(found, id);) {
            if (!id.empty() && id != except) return window = id, true;
        }
        return false;
    });
    return window;
}

std::ostream& operator<<(std::ostream& out, const XWindow& w) {
    return out << w.width << "x" << w.height << " at " << w.x << "," << w.y << " (minimum " << w.minWidth << "x"
               << w.minHeight << ")" << (w.viewable ? "" : " unmapped") << " [" << w.netWmState << "] " << w.wmState;
}

XWindow askServer(const std::string& id) {
    std::string said;
    run("xwininfo -id " + id + "; xprop -id " + id + " _NET_WM_STATE WM_STATE WM_NORMAL_HINTS", &said);
    XWindow w;
    std::istringstream lines(said);
    for (std::string line; std::getline(lines, line);) {
        const auto value = [&](const std::string& key, int& to) {
            const size_t at = line.find(key);
            if (at != std::string::npos) to = std::atoi(line.c_str() + at + key.size());
        };
        value("Absolute upper-left X:", w.x);
        value("Absolute upper-left Y:", w.y);
        value("Width:", w.width);
        value("Height:", w.height);
        if (line.find("Map State: IsViewable") != std::string::npos) w.viewable = true;
        if (line.starts_with("_NET_WM_STATE(ATOM) =")) w.netWmState = line.substr(line.find('=') + 1);
        if (const size_t at = line.find("window state: "); at != std::string::npos) w.wmState = line.substr(at + 14);
        if (const size_t at = line.find("minimum size: "); at != std::string::npos) {
            std::sscanf(line.c_str() + at + 14, "%d by %d", &w.minWidth, &w.minHeight);
        }
    }
    return w;
}

XWindow waitForServer(const std::string& id, const std::function<bool(const XWindow&)>& met, double seconds) {
    // A failed read (the window not there yet or gone meanwhile) reads as nothing met, and is asked again.
    XWindow w;
    holdsWithin(seconds, [&] { return met(w = askServer(id)); });
    return w;
}

std::array<int, 4> workArea() {
    std::string said;
    run("xprop -root _NET_WORKAREA", &said);
    std::array<int, 4> area{};
    const size_t at = said.find('=');
    if (at != std::string::npos) {
        std::sscanf(said.c_str() + at + 1, " %d, %d, %d, %d", &area[0], &area[1], &area[2], &area[3]);
    }
    return area;
}

void ProbeView::draw(const FrameInfo& frame) {
    if (inside_ != nullptr) {
        inside_->draw(frame);
        std::unique_lock lock(mutex_);
        ++framesDrawn;
        endFrame(frame, lock);
        return;
    }
    // The button at logical (200, 6), 100 x 24, in the caption band; a magenta block for screenshots.
    const float s = frame.displayScale;
    ImGui::GetWindowDrawList()->AddRectFilled(ImVec2(frame.content.x, frame.content.y + 60.0f * s),
                                              ImVec2(frame.content.x + 200.0f * s, frame.content.y + 260.0f * s),
                                              IM_COL32(255, 0, 255, 255));
    ImGui::SetCursorScreenPos(ImVec2(200.0f * s, 6.0f * s));
    const bool clicked = ImGui::Button("probe", ImVec2(100.0f * s, 24.0f * s));
    const bool hovered = ImGui::IsItemHovered();
    UiContext& ui = UiContext::current();
    ui.drop.wanted = true;

    // The caption buttons at the right end of the band (32 px squares), and what they drew.
    const Rect band{frame.content.x, 0.0f, frame.content.w, 36.0f * s};
    std::string drawn = testing::loggedText([&] { captionButtons(frame, band); });
    const auto centre = [&](int fromRight) {
        return ImVec2(band.x + band.w - 32.0f * s * (static_cast<float>(fromRight) + 0.5f), band.y + band.h * 0.5f);
    };  // 0 close, 1 maximise, 2 minimise

    const std::optional<KeyCommand> command = pollKeyCommand();
    if (command) consumeKeyCommand(*command);
    const bool space = compat::isKeyPressed(compat::Key::Space, false);

    std::unique_lock lock(mutex_);
    if (std::exchange(openField, false)) openPopup("probe.popup");
    if (beginAnchoredPopup("probe.popup", Rect{400.0f * s, 300.0f * s, 10.0f, 10.0f}, ImVec2(300.0f * s, 0.0f))) {
        const ImVec2 at = ImGui::GetCursorScreenPos();
        textField("probe.field", Rect{at.x, at.y, 280.0f * s, 24.0f * s}, fieldText, "Name");
        fieldAt = ImVec2(at.x + 140.0f * s, at.y + 12.0f * s);
        endAnchoredPopup();
    }
    maximiseAt = centre(1);
    minimiseAt = centre(2);
    captionText = std::move(drawn);
    if (command) commands.push_back(*command);
    spaces += space ? 1 : 0;
    ++framesDrawn;
    buttonHovered = hovered;
    buttonClicks += clicked ? 1 : 0;
    mouseDowns += ImGui::IsMouseClicked(0) ? 1 : 0;
    doubleClicks += ImGui::IsMouseDoubleClicked(0) ? 1 : 0;
    escapes += compat::isKeyPressed(compat::Key::Escape, false) ? 1 : 0;
    dialogFrames += ui.dialogRunning ? 1 : 0;
    if (ui.drop.dropped) dropped = ui.drop.paths;
    endFrame(frame, lock);
}

void ProbeView::endFrame(const FrameInfo& frame, std::unique_lock<std::mutex>& lock) {
    for (Waiter* waiter : waiters_) waiter->met = waiter->met || waiter->check(frame);
    held_ = holdNext_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return !holdNext_ || finished_; });
    held_ = false;
}

void ProbeView::inOneFrame(const std::function<void()>& input) {
    std::unique_lock lock(mutex_);
    holdNext_ = true;
    changed_.wait_for(lock, std::chrono::duration<double>(kPatience), [&] { return held_ || finished_; });
    lock.unlock();
    input();
    lock.lock();
    holdNext_ = false;
    changed_.notify_all();
}

bool ProbeView::waitFor(Check check, double seconds) {
    Waiter waiter{std::move(check)};
    std::unique_lock lock(mutex_);
    waiters_.push_back(&waiter);
    changed_.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return waiter.met || finished_; });
    std::erase(waiters_, &waiter);
    return waiter.met;
}

bool ProbeView::frames(int count) {
    int seen = 0;
    return waitFor([&](const FrameInfo&) { return ++seen >= count; });
}

void ProbeView::finish() {
    const std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

bool pointerTo(const std::string& window, ProbeView& view, int x, int y) {
    const auto seen = [&](const FrameInfo&) {
        const ImVec2 at = ImGui::GetIO().MousePos;
        return at.x == static_cast<float>(x) && at.y == static_cast<float>(y);
    };
    const auto place = [&](int px) {
        return " mousemove --window " + window + " " + std::to_string(px) + " " + std::to_string(y);
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kPatience);
    for (double wait = 1.0;; wait = std::min(wait * 2.0, 8.0)) {
        run("xdotool" + place(x + 1) + place(x));
        if (view.waitFor(seen, wait)) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
    }
}

bool pointerTo(const std::string& window, ProbeView& view, ImVec2 point) {
    return pointerTo(window, view, static_cast<int>(point.x), static_cast<int>(point.y));
}

int runScripted(ProbeView& view, const StandaloneOptions& options, const std::function<void()>& script) {
    std::thread driver([&] {
        if (view.waitFor([](const FrameInfo&) { return true; })) script();
        view.waitFor([](const FrameInfo& frame) { return frame.windowControls->close(), true; });
    });
    struct Join {
        ProbeView& view;
        std::thread& driver;
        ~Join() {
            view.finish();
            driver.join();
        }
    } join{view, driver};
    return runStandalone(view, options);
}

}  // namespace tarn::ui::window_tests
