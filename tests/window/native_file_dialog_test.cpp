// The GTK file dialogs as the window runs them: keys typed into them, their answers, and no display at all.
#include "tests/window/window_fixture.h"
#include "ui/file_dialog.h"
#include "ui/host/native_file_dialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace tarn::ui::window_tests {
namespace {

void act(const std::vector<std::string>& xdotoolCommands) {
    for (const std::string& command : xdotoolCommands) run("xdotool " + command);
}

// Asks for the dialog from a frame and focuses it as it comes up; returns its window.
std::string ask(ProbeView& view, const FileDialogOptions& options) {
    view.waitFor([&](const FrameInfo&) { return requestFileDialog("probe.dialog", options); });
    const std::string id = windowWithTitle(options.title);
    act({"windowfocus --sync " + id});
    return id;
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

TEST(NativeFileDialog, AnswersWhatTheUserDidWhileTheWindowKeptDrawing) {
    const Xvfb server;
    const std::string folder = server.folder;
    run("mkdir " + folder + "/one && touch " + folder + "/one/only.json " + folder + "/taken.mid");

    FileDialogOptions save;
    save.kind = FileDialogKind::Save;
    save.title = "Probe-dialog";
    save.filters = {{"MIDI file", {"mid"}}};
    save.defaultFolder = folder;
    save.defaultName = "untitled.mid";
    FileDialogOptions open = save;
    open.kind = FileDialogKind::Open;
    open.filters = {{"tarnlode session", {"json"}}};
    open.defaultFolder = folder + "/one";

    struct Case {
        const char* what;
        const FileDialogOptions& options;
        std::vector<std::string> user;
        int status;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {"Escape cancels", save, {"key Escape"}, 1, {}},
        {"a typed name gets the filter's extension", save, {"key ctrl+a", "type song", "key Return"}, 0,
         {folder + "/song.mid"}},
        {"an open dialog answers the one file there", open, {"key Return"}, 0, {folder + "/one/only.json"}},
    };
    ProbeView view;
    runScripted(view, StandaloneOptions{}, [&] {
        for (const Case& c : cases) {
            ask(view, c.options);
            act(c.user);
            const FileDialogResult result = answer(view, c.user.back());
            EXPECT_EQ(result.status, c.status) << c.what;
            EXPECT_EQ(result.paths, c.paths) << c.what;
        }
        // The name to be written exists: the question about it comes up, and Return replaces.
        const std::string chooser = ask(view, save);
        act({"key ctrl+a", "type taken", "key Return"});
        const std::string question = windowWithTitle(save.title, chooser);
        ASSERT_FALSE(question.empty());
        act({"windowfocus --sync " + question, "key Return"});
        const FileDialogResult replaced = answer(view, "key Return");
        EXPECT_EQ(replaced.status, FileDialogResult::chosen);
        EXPECT_EQ(replaced.paths, std::vector<std::string>{folder + "/taken.mid"});

        int dialogFrames = 0;
        view.waitFor([&](const FrameInfo&) { return dialogFrames = view.dialogFrames, true; });
        EXPECT_GT(dialogFrames, 10);
    });
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
            const FileDialogResult result = runNativeFileDialog(FileDialogRequest{}, [] { return true; });
            std::exit(refused && result.status == FileDialogResult::failed && result.paths.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "tarn-ui: gtk_init_check failed\n");
}

}  // namespace
}  // namespace tarn::ui::window_tests
