// The GTK file dialogs as the window runs them: keys typed into them, their answers, what GTK
// says on stderr, where they open, and no display at all.
#include "tests/window/window_fixture.h"
#include "ui/file_dialog.h"
#include "ui/host/native_file_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>
#include <unistd.h>

namespace tarn::ui::window_tests {
namespace {

constexpr int kScreenWidth = 2560, kScreenHeight = 1600;
// Where the program's 1440 x 1080 window is put: the middle of the screen.
constexpr int kWindowX = 560, kWindowY = 260;

void act(const std::vector<std::string>& xdotoolCommands) {
    for (const std::string& command : xdotoolCommands) run("xdotool " + command);
}

// Everything this process writes to stderr while it lives (GTK and GLib log there), passed on
// to the real stderr when taken.
class StderrCapture {
public:
    StderrCapture() : file_(std::tmpfile()) {
        if (file_ == nullptr) throw std::runtime_error("no temporary file");
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        dup2(fileno(file_), STDERR_FILENO);
    }
    ~StderrCapture() { take(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string take() {
        if (file_ == nullptr) return text_;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        std::rewind(file_);
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file_)) > 0;) text_.append(buffer, n);
        std::fclose(file_);
        file_ = nullptr;
        std::fputs(text_.c_str(), stderr);
        return text_;
    }

private:
    std::FILE* file_;
    int saved_ = -1;
    std::string text_;
};

// The lines of `text` that carry a GLib or GTK critical or warning.
std::string alarms(const std::string& text) {
    std::istringstream lines(text);
    std::string found;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("CRITICAL") != std::string::npos || line.find("WARNING") != std::string::npos) {
            found += line + "\n";
        }
    }
    return found;
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The window's place on the screen as the X server has it.
Geometry geometryOf(const std::string& id) {
    std::string said;
    run("xwininfo -id " + id, &said);
    Geometry g;
    const auto field = [&](const char* name) {
        const size_t at = said.find(name);
        return at == std::string::npos ? -1 : std::atoi(said.c_str() + at + std::strlen(name));
    };
    g.x = field("Absolute upper-left X:");
    g.y = field("Absolute upper-left Y:");
    g.width = field("Width:");
    g.height = field("Height:");
    return g;
}

// Where the dialog `id` and its owner lie once the dialog is centred on it, or as they lie when the
// patience runs out: GTK sizes a dialog again after showing it, and it is placed anew then.
std::pair<Geometry, Geometry> placedOn(const std::string& id, const std::string& owner, int slack) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kPatience);
    for (;;) {
        const Geometry g = geometryOf(id), o = geometryOf(owner);
        const bool centred = std::abs(g.x + g.width / 2 - (o.x + o.width / 2)) <= slack &&
                             std::abs(g.y + g.height / 2 - (o.y + o.height / 2)) <= slack;
        if (centred || std::chrono::steady_clock::now() > deadline) return {g, o};
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Whether `id` holds the keyboard focus, waiting as long as a slow machine needs for it to come.
bool focused(const std::string& id) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kPatience);
    for (;;) {
        std::string holder;
        run("xdotool getwindowfocus", &holder);
        if (holder == id + "\n") return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// The window id that xprop names in `property` of window `id` ("WM_TRANSIENT_FOR"); "" for none.
std::string windowNamedBy(const std::string& id, const std::string& property) {
    std::string said;
    run("xprop -id " + id + " " + property, &said);
    const size_t at = said.find("window id # ");
    return at == std::string::npos ? "" : std::to_string(std::strtoul(said.c_str() + at + 12, nullptr, 16));
}

// The client windows bottom to top, as the window manager stacks them (decimal ids).
std::vector<std::string> stackingOrder() {
    std::string said;
    run("xprop -root _NET_CLIENT_LIST_STACKING", &said);
    std::vector<std::string> ids;
    for (size_t at = said.find("0x"); at != std::string::npos; at = said.find("0x", at + 2)) {
        ids.push_back(std::to_string(std::strtoul(said.c_str() + at, nullptr, 16)));
    }
    return ids;
}

bool above(const std::vector<std::string>& order, const std::string& top, const std::string& bottom) {
    const auto topAt = std::find(order.begin(), order.end(), top), bottomAt = std::find(order.begin(), order.end(), bottom);
    return topAt != order.end() && bottomAt != order.end() && topAt > bottomAt;
}

// A window manager's title bar moves a dialog's content down by its height: a centre this close
// is the owner's.
constexpr int kCentreSlack = 40;

// The program's window where the dialogs are expected to centre: in the middle of the screen,
// so that a centred dialog also fits on it.
std::string centredWindow() {
    const std::string id = windowWithTitle(StandaloneOptions{}.title);
    act({"windowmove " + id + " 560 260"});
    waitForServer(id, [](const XWindow& w) { return w.x == 560 && w.y == 260; });
    return id;
}

// A dialog window as the user meets it: it showed over the middle of the program's window,
// belonging to it (a click on that window leaves the dialog on top), wholly on the screen, with
// the keys going to it, also where no window manager gives a new window the focus.
void expectReadyForTheUser(const std::string& id, const std::string& owner, Desktop desktop, const std::string& what) {
    ASSERT_FALSE(id.empty()) << what << ": no dialog showed";
    EXPECT_EQ(windowNamedBy(id, "WM_TRANSIENT_FOR"), owner) << what << ": the dialog does not belong to the window";
    EXPECT_TRUE(askServer(id).has("_NET_WM_STATE_MODAL")) << what << ": the dialog is not modal";
    if (desktop == Desktop::windowManager) {
        // What a window manager makes of a click on the window (focus and raise it), asked for
        // directly: whether a click itself raises depends on where it lands and on the
        // manager's bindings.
        act({"windowactivate " + owner});
        // The manager handles its requests in order: once it has moved the window a pixel, it has
        // also done what the click asked.
        const int x = askServer(owner).x, nudged = x == kWindowX ? kWindowX + 1 : kWindowX;
        act({"windowmove " + owner + " " + std::to_string(nudged) + " " + std::to_string(kWindowY)});
        waitForServer(owner, [&](const XWindow& w) { return w.x == nudged; });
        EXPECT_TRUE(above(stackingOrder(), id, owner)) << what << ": a click on the window hid the dialog behind it";
    }
    EXPECT_TRUE(focused(id)) << what << ": the dialog never had the keyboard focus";
    const auto [g, o] = placedOn(id, owner, kCentreSlack);
    EXPECT_TRUE(g.x >= 0 && g.y >= 0 && g.x + g.width <= kScreenWidth && g.y + g.height <= kScreenHeight)
        << what << ": the dialog lies at " << g.x << "," << g.y << " " << g.width << " x " << g.height
        << ", past the " << kScreenWidth << " x " << kScreenHeight << " screen";
    EXPECT_NEAR(g.x + g.width / 2, o.x + o.width / 2, kCentreSlack) << what << ": the dialog is not centred on the window";
    EXPECT_NEAR(g.y + g.height / 2, o.y + o.height / 2, kCentreSlack) << what << ": the dialog is not centred on the window";
}

// The dialog's answer as the frames collect it. A chooser still loading its folder ignores keys,
// so `again` (the user's last step) is repeated while no answer has come.
FileDialogResult answer(ProbeView& view, const std::string& again) {
    std::optional<FileDialogResult> result;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (view.waitFor([&](const FrameInfo&) { return (result = takeFileDialogResult("probe.dialog")).has_value(); },
                         3.0)) {
            break;
        }
        act({again});
    }
    return result.value_or(FileDialogResult{-1, {}});
}

// One thing the user does: wait for a window to show (the chooser, or the question about an
// existing file), then press or type into it. "WINDOW" in a command stands for that window.
enum class Shows { chooser, question };
struct Step {
    Shows shows;
    std::vector<std::string> keys;
};

struct Case {
    const char* what;
    const FileDialogOptions& options;
    std::vector<Step> user;
    int status;
    std::vector<std::string> paths;
};

std::vector<std::string> onWindow(std::vector<std::string> commands, const std::string& id) {
    for (std::string& command : commands) {
        if (const size_t at = command.find("WINDOW"); at != std::string::npos) command.replace(at, 6, id);
    }
    return commands;
}


// Each case from the frame's request to the answer it collects, with nothing from GLib or GTK
// on stderr meanwhile, and the window taking clicks again afterwards.
void expectAnswers(ProbeView& view, const std::vector<Case>& cases, Desktop desktop) {
    const std::string window = centredWindow();
    for (const Case& c : cases) {
        StderrCapture stderrText;
        view.waitFor([&](const FrameInfo&) { return requestFileDialog("probe.dialog", c.options); });
        std::string chooser, question;  // both carry the dialog's title
        std::string last;
        for (const Step& step : c.user) {
            std::string& id = step.shows == Shows::question ? question : chooser;
            id = windowWithTitle(c.options.title, step.shows == Shows::question ? chooser : question);
            expectReadyForTheUser(id, window, desktop, c.what);
            act(onWindow(step.keys, id));
            last = onWindow(step.keys, id).back();
        }
        const FileDialogResult result = answer(view, last);
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.paths, c.paths) << c.what;
        const int clicks = view.read([&] { return view.buttonClicks; });
        act({"mousemove --window " + window + " 375 27"});  // the probe button
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.buttonHovered; }) &&
                    (act({"click 1"}), view.waitFor([&](const FrameInfo&) { return view.buttonClicks > clicks; })))
            << c.what << ": the window ignores clicks after the dialog";
        EXPECT_EQ(alarms(stderrText.take()), "") << c.what;
    }
}

struct Options {
    FileDialogOptions save, open, saveHere, openHere;
};

// A save dialog for MIDI files named "untitled.mid" in `folder`, and an open dialog for
// sessions in `folder`/one, where only.json is the one file; both again without a folder
// ("Here"), from `folder`/here, the working folder, where only here.json is.
Options optionsIn(const std::string& folder) {
    run("mkdir " + folder + "/one " + folder + "/here && touch " + folder + "/one/only.json " + folder + "/taken.mid " +
        folder + "/here/here.json");
    Options o;
    o.save.kind = FileDialogKind::Save;
    o.save.title = "Probe-dialog";
    o.save.filters = {{"MIDI file", {"mid"}}};
    o.save.defaultFolder = folder;
    o.save.defaultName = "untitled.mid";
    o.open = o.save;
    o.open.kind = FileDialogKind::Open;
    o.open.filters = {{"tarnlode session", {"json"}}};
    o.open.defaultFolder = folder + "/one";
    o.saveHere = o.save;
    o.saveHere.defaultFolder.clear();
    o.openHere = o.open;
    o.openHere.defaultFolder.clear();
    return o;
}

// GTK stays on the X server it first opened, and every test stops its own server: one dialog
// test per process, as ctest runs them. Later ones in the same process are skipped.
bool gtkStillFree() {
    static bool taken = false;
    return !std::exchange(taken, true);
}
constexpr const char* kGtkTaken = "GTK already runs on another test's X server: run this test in a process of its own";

// Another program's note of a session in the desktop's list of recent files (the folder is
// XDG_DATA_HOME), where GTK's chooser opens when it is given no folder. Returns the list's text.
std::string noteARecentSession(const std::string& folder) {
    run("mkdir " + folder + "/elsewhere && touch " + folder + "/elsewhere/noted.json");
    const std::string note =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<xbel version=\"1.0\" xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\">\n"
        "  <bookmark href=\"file://" + folder + "/elsewhere/noted.json\" added=\"2026-01-02T03:04:05Z\" "
        "modified=\"2026-01-02T03:04:05Z\" visited=\"2026-01-02T03:04:05Z\"><info><metadata "
        "owner=\"http://freedesktop.org\"><bookmark:mime-type type=\"application/json\"/><bookmark:applications>"
        "<bookmark:application name=\"editor\" exec=\"editor %u\" modified=\"2026-01-02T03:04:05Z\" count=\"1\"/>"
        "</bookmark:applications></metadata></info></bookmark>\n"
        "</xbel>\n";
    std::ofstream(folder + "/recently-used.xbel") << note;
    return note;
}

std::string textOf(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The process's working folder for as long as one lives.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& folder) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() { std::filesystem::current_path(saved_); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path saved_;
};

const std::vector<std::string> kTypeTaken = {"key ctrl+a", "type taken", "key Return"};

TEST(NativeFileDialog, AnswersWhatTheUserDidUnderAWindowManagerAndGtkSaysNothing) {
    if (!gtkStillFree()) GTEST_SKIP() << kGtkTaken;
    const Xvfb server(Desktop::windowManager);
    const std::string folder = server.folder;
    const Options o = optionsIn(folder);
    const std::string taken = folder + "/taken.mid";
    const std::vector<Case> cases = {
        {"a typed name gets the filter's extension", o.save, {{Shows::chooser, {"key ctrl+a", "type song", "key Return"}}},
         0, {folder + "/song.mid"}},
        {"an open dialog answers the one file there", o.open, {{Shows::chooser, {"key Return"}}}, 0,
         {folder + "/one/only.json"}},
        {"Escape cancels", o.save, {{Shows::chooser, {"key Escape"}}}, 1, {}},
        {"Escape cancels a typed name", o.save, {{Shows::chooser, {"key ctrl+a", "type song", "key Escape"}}}, 1, {}},
        {"closing the chooser through the window manager cancels", o.save, {{Shows::chooser, {"key alt+F4"}}}, 1, {}},
        {"Return on the question replaces", o.save, {{Shows::chooser, kTypeTaken}, {Shows::question, {"key Return"}}}, 0,
         {taken}},
        {"Replace on the question replaces", o.save, {{Shows::chooser, kTypeTaken}, {Shows::question, {"key alt+r"}}}, 0,
         {taken}},
        {"Escape on the question goes back to the chooser with the name, asked again", o.save,
         {{Shows::chooser, kTypeTaken},
          {Shows::question, {"key Escape"}},
          {Shows::chooser, {"key Return"}},
          {Shows::question, {"key Return"}}},
         0, {taken}},
        {"Cancel on the question goes back to the chooser, where Escape cancels", o.save,
         {{Shows::chooser, kTypeTaken}, {Shows::question, {"key alt+c"}}, {Shows::chooser, {"key Escape"}}}, 1, {}},
        {"closing the question through the window manager goes back to the chooser", o.save,
         {{Shows::chooser, kTypeTaken}, {Shows::question, {"key alt+F4"}}, {Shows::chooser, {"key Escape"}}}, 1, {}},
        {"a chooser destroyed by another program cancels", o.save, {{Shows::chooser, {"windowclose WINDOW"}}}, 1, {}},
        {"a question destroyed by another program cancels the whole dialog", o.save,
         {{Shows::chooser, kTypeTaken}, {Shows::question, {"windowclose WINDOW"}}}, 1, {}},
        {"a full path typed after Ctrl+L opens that file", o.open,
         {{Shows::chooser, {"key ctrl+l", "type " + folder + "/here/here.json", "key Return"}}}, 0,
         {folder + "/here/here.json"}},
        {"a save dialog without a folder saves in the working folder", o.saveHere,
         {{Shows::chooser, {"key ctrl+a", "type song", "key Return"}}}, 0, {folder + "/here/song.mid"}},
        {"an open dialog without a folder lists the working folder", o.openHere, {{Shows::chooser, {"key Return"}}}, 0,
         {folder + "/here/here.json"}},
    };
    const std::string noted = noteARecentSession(folder);
    const WorkingFolder here(folder + "/here");
    ProbeView view;
    runScripted(view, StandaloneOptions{}, [&] {
        expectAnswers(view, cases, Desktop::windowManager);
        int dialogFrames = 0;
        view.waitFor([&](const FrameInfo&) { return dialogFrames = view.dialogFrames, true; });
        EXPECT_GT(dialogFrames, 10);
    });
    // GTK's chooser would note each chosen file there, seconds of dialogs after the first ones
    // chosen.
    EXPECT_EQ(textOf(folder + "/recently-used.xbel"), noted);
}

// Without a window manager GTK's chooser keeps the size it asks for, and nothing places it.
TEST(NativeFileDialog, OnABareServerTheChooserFitsTheScreenAndTheDesktopsRecentListStaysAsItWas) {
    if (!gtkStillFree()) GTEST_SKIP() << kGtkTaken;
    const Xvfb server(Desktop::bare);
    const std::string folder = server.folder;
    const Options o = optionsIn(folder);
    const std::string noted = noteARecentSession(folder);
    const std::vector<Case> cases = {
        {"a typed name gets the filter's extension", o.save, {{Shows::chooser, {"key ctrl+a", "type song", "key Return"}}},
         0, {folder + "/song.mid"}},
        {"Escape on the question goes back to the chooser, where Escape cancels", o.save,
         {{Shows::chooser, kTypeTaken}, {Shows::question, {"key Escape"}}, {Shows::chooser, {"key Escape"}}}, 1, {}},
        {"a chooser destroyed by another program cancels", o.open, {{Shows::chooser, {"windowclose WINDOW"}}}, 1, {}},
        {"an open dialog without a folder lists the working folder", o.openHere, {{Shows::chooser, {"key Return"}}}, 0,
         {folder + "/here/here.json"}},
    };
    const WorkingFolder here(folder + "/here");
    ProbeView view;
    runScripted(view, StandaloneOptions{}, [&] {
        expectAnswers(view, cases, Desktop::bare);
        // GTK writes its list 250 ms after a change, and only while a dialog runs: one more
        // stays open for a second of frames (the main loop runs GTK's timers between them).
        int framesBefore = 0;
        view.waitFor([&](const FrameInfo&) {
            framesBefore = view.dialogFrames;
            return requestFileDialog("probe.dialog", o.open);
        });
        const std::string last = windowWithTitle(o.open.title);
        EXPECT_TRUE(view.waitFor([&](const FrameInfo&) { return view.dialogFrames >= framesBefore + 60; }));
        act({"windowfocus --sync " + last, "key Escape"});
        EXPECT_EQ(answer(view, "key Escape").status, FileDialogResult::cancelled);
    });
    EXPECT_EQ(textOf(folder + "/recently-used.xbel"), noted);
}

TEST(NativeFileDialog, WithoutADisplayTheWindowAndTheDialogFailAtOnce) {
    // In a process of its own: GTK, once started on a display, stays started.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) unsetenv(name);
            ProbeView view;
            bool refused = false;
            try {
                runStandalone(view, StandaloneOptions{});
            } catch (const std::runtime_error& error) {
                refused = std::string(error.what()) == "tarn-ui: could not create the window";
            }
            const FileDialogResult result = runNativeFileDialog(FileDialogRequest{}, 0, [] { return true; });
            std::exit(refused && result.status == FileDialogResult::failed && result.paths.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "tarn-ui: gtk_init_check failed\n");
}

}  // namespace
}  // namespace tarn::ui::window_tests
