// The editor's header: what it shows, what the editor does with its result, the line choice, and a
// file command from the menu through the dialog queue.
#include "app/editor.h"
#include "storage/session.h"
#include "tests/app/editor_frames.h"
#include "tests/ui/frame_input.h"
#include "ui/file_dialog.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

TEST(EditorHeader, ShowsThePresetTabsAndNoAudioOnlyWhenADeviceFailedToOpen) {
    struct Row {
        const char* driver;
        int headless;
        bool noAudio;
        const char* tempoNote;
    };
    const Row rows[] = {{"nonexistent", 1, false, ""},
                        {"nonexistent", 0, true, ""},
                        {"disk", 0, false, "Fixed at 120 while live audio is running."}};
    for (const Row& row : rows) {
        const AppEnvironment env(row.driver);
        Editor editor(row.headless);
        EditorFrames frames;
        frames.frame(editor);
        EXPECT_EQ(frames.findText("No audio").has_value(), row.noAudio) << row.driver << row.headless;
        EXPECT_EQ(editor.tempoNote, row.tempoNote);
        for (const char* text : {"Demo", "Arc", "Motion", "Spectrum", "Demo line", "TARNLODE", "BPM"})
            EXPECT_TRUE(frames.findText(text)) << text;
    }
}

TEST(EditorHeader, ActsOnTabPlayRewindSizeAndPresetRequests) {
    const AppEnvironment env;
    Editor editor(1);
    const AudioConfig config{48000.0f, 120.0f, 64};
    editor.player.prepare(config);
    float out[2 * 4800];
    editor.player.process(out, 4800);  // a tenth of a second: a fifth of a beat
    ui::testing::CountingWindow window;
    ui::FrameInfo frame;
    frame.windowControls = &window;
    const struct {
        std::function<void(ui::HeaderResult&)> ask;
        std::function<bool()> done;
    } rows[] = {
        {[](ui::HeaderResult& r) { r.page = 3; }, [&] { return editor.selectedTab == 3; }},
        {[](ui::HeaderResult& r) { r.transport.playToggled = true; },
         [&] { return !editor.playing && !editor.player.playing(); }},
        {[](ui::HeaderResult& r) { r.transport.playToggled = true; },
         [&] { return editor.playing && editor.player.playing(); }},
        {[](ui::HeaderResult& r) { r.transport.rewind = true; },
         [&] {
             editor.player.process(out, 64);
             return editor.position == 0.0 && editor.player.position() < 0.01;
         }},
        {[](ui::HeaderResult& r) { r.uiScale = 1.5f; }, [&] { return editor.uiScale == 1.5f && window.scaled == 1; }},
        {[](ui::HeaderResult& r) { r.action = ui::HeaderAction::New; },
         [&] { return editor.presets.entries[editor.presetIndex].name == "Init"; }},
    };
    editor.position = 9.0;
    for (const auto& row : rows) {
        ui::HeaderResult result;
        row.ask(result);
        editor.actOnHeader(result, frame, config);
        EXPECT_TRUE(row.done());
    }
}

TEST(EditorHeader, TheLineChoiceSwitchesBetweenDemoLineAndPattern) {
    const AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    frames.frame(editor);
    ASSERT_TRUE(frames.clickText(editor, "Pattern", 1));  // the first "Pattern" is the tab
    EXPECT_TRUE(editor.patternDrives);
    EXPECT_DOUBLE_EQ(editor.loopBeats, 16.0);
    EXPECT_EQ(editor.selectedTab, 0u);
    ASSERT_TRUE(frames.clickText(editor, "Demo line"));
    EXPECT_FALSE(editor.patternDrives);
    EXPECT_DOUBLE_EQ(editor.loopBeats, 32.0);
}

TEST(EditorHeader, SaveSessionFromTheMenuWritesTheFileTheDialogAnswered) {
    const AppEnvironment env;
    Editor editor(1);
    EditorFrames frames;
    frames.frame(editor);
    ASSERT_TRUE(frames.clickText(editor, "TARNLODE"));
    ASSERT_TRUE(frames.clickText(editor, "Save session..."));
    {
        const ui::ContextScope scope(frames.ui);
        const std::optional<ui::FileDialogRequest> request = ui::takePendingFileDialog();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->options.kind, ui::FileDialogKind::Save);
        EXPECT_EQ(request->options.title, "Save session...");
        ASSERT_EQ(request->options.filters.size(), 1u);
        EXPECT_EQ(request->options.filters[0].extensions, std::vector<std::string>{"json"});
        ui::deliverFileDialogResult(request->requester, ui::FileDialogResult{ui::FileDialogResult::chosen,
                                                                             {env.file("menu.json")}});
    }
    frames.frame(editor);
    EXPECT_EQ(editor.status, "Saved menu.json");
    IssueList issues;
    EXPECT_TRUE(readSession(testing::readText(env.file("menu.json")), issues));
}

}  // namespace
}  // namespace tarn
