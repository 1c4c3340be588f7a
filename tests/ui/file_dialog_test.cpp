// The file-dialog queue (one request at a time, answers by requester) and the drop state.
#include "ui/file_dialog.h"

#include "tests/ui/ui_test_frames.h"
#include "ui/drop_state.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>

namespace tarn::ui {
namespace {

class FileDialogQueue : public ::testing::Test {
protected:
    ~FileDialogQueue() override { ImGui::SetCurrentContext(nullptr); }
    UiContext ui;
};

FileDialogOptions saveOptions() {
    FileDialogOptions options;
    options.kind = FileDialogKind::Save;
    options.title = "Save session";
    options.filters = {{"tarnlode session", {"json"}}};
    options.defaultName = "bass.json";
    return options;
}

TEST_F(FileDialogQueue, OneRequestAtATimeUntilTheAnswerIsDelivered) {
    ImGuiID saveId = 0;
    {
        testing::TestFrame frame(ui);
        EXPECT_FALSE(fileDialogBusy());
        EXPECT_TRUE(requestFileDialog("save", saveOptions()));
        EXPECT_FALSE(requestFileDialog("open", FileDialogOptions{})) << "a second request in the same frame";
        EXPECT_TRUE(fileDialogBusy());
        saveId = ImGui::GetID("save");
    }
    ContextScope scope(ui);
    std::optional<FileDialogRequest> request = takePendingFileDialog();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->requester, saveId);
    EXPECT_EQ(request->options.kind, FileDialogKind::Save);
    EXPECT_EQ(request->options.title, "Save session");
    ASSERT_EQ(request->options.filters.size(), 1u);
    EXPECT_EQ(request->options.filters[0].extensions, std::vector<std::string>{"json"});
    EXPECT_FALSE(takePendingFileDialog().has_value()) << "taken once";
    EXPECT_TRUE(ui.dialogRunning);
    {
        testing::TestFrame frame(ui);
        EXPECT_TRUE(fileDialogBusy());
        EXPECT_FALSE(requestFileDialog("open", FileDialogOptions{})) << "refused while the dialog runs";
    }
    deliverFileDialogResult(saveId, FileDialogResult{FileDialogResult::chosen, {"/tmp/bass.json"}});
    EXPECT_FALSE(ui.dialogRunning);
    testing::TestFrame frame(ui);
    EXPECT_FALSE(fileDialogBusy());
    EXPECT_FALSE(takeFileDialogResult("open").has_value()) << "answers go to their requester only";
    std::optional<FileDialogResult> answer = takeFileDialogResult("save");
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->status, FileDialogResult::chosen);
    EXPECT_EQ(answer->paths, std::vector<std::string>{"/tmp/bass.json"});
    EXPECT_FALSE(takeFileDialogResult("save").has_value()) << "taken once";
}

TEST_F(FileDialogQueue, AnUnreadAnswerIsReplacedAndOthersAreLeftAlone) {
    ContextScope scope(ui);
    deliverFileDialogResult(11, FileDialogResult{FileDialogResult::chosen, {"/a"}});
    deliverFileDialogResult(22, FileDialogResult{FileDialogResult::cancelled, {}});
    deliverFileDialogResult(11, FileDialogResult{FileDialogResult::failed, {}});
    ASSERT_EQ(ui.dialogResults.size(), 2u);
    EXPECT_EQ(ui.dialogResults[11].status, FileDialogResult::failed);
    EXPECT_TRUE(ui.dialogResults[11].paths.empty());

    // Collected by label inside the window whose ID stack made the requester's id.
    testing::TestFrame frame(ui);
    const ImGuiID cancelledId = ImGui::GetID("cancelled");
    ui.dialogResults[cancelledId] = FileDialogResult{FileDialogResult::cancelled, {}};
    std::optional<FileDialogResult> cancelled = takeFileDialogResult("cancelled");
    ASSERT_TRUE(cancelled.has_value());
    EXPECT_EQ(cancelled->status, FileDialogResult::cancelled);
    EXPECT_EQ(ui.dialogResults.size(), 2u) << "the other answers stay";
}

TEST_F(FileDialogQueue, RequesterIdFollowsTheIdStack) {
    testing::TestFrame frame(ui);
    ImGui::PushID("header");
    ASSERT_TRUE(requestFileDialog("open", FileDialogOptions{}));
    const ImGuiID inHeader = ImGui::GetID("open");
    ImGui::PopID();
    EXPECT_NE(inHeader, ImGui::GetID("open"));
    EXPECT_EQ(ui.pendingDialog->requester, inHeader);
}

TEST(DropState, EnterOverAndDropClearAtTheEndOfTheFrame) {
    DropState drop;
    drop.enter({"/music/a.json", "/music/b.json"}, ImVec2(10, 20));
    EXPECT_TRUE(drop.hovering);
    EXPECT_EQ(drop.paths.size(), 2u);
    drop.wanted = true;
    drop.endFrame();
    EXPECT_TRUE(drop.accepts);
    EXPECT_FALSE(drop.wanted);
    drop.over(ImVec2(30, 40));
    EXPECT_EQ(drop.position.x, 30.0f);
    drop.endFrame();
    EXPECT_FALSE(drop.accepts) << "accepts follows the previous frame's wanted";
    drop.wanted = true;
    drop.drop(ImVec2(31, 41));
    EXPECT_TRUE(drop.dropped);
    EXPECT_EQ(drop.paths.size(), 2u) << "the view reads the paths in the frame of the drop";
    drop.endFrame();
    EXPECT_TRUE(drop.paths.empty());
    EXPECT_FALSE(drop.hovering || drop.dropped || drop.accepts || drop.wanted);
}

TEST(DropState, UnwantedDropIsRefusedAndCleared) {
    DropState drop;
    drop.enter({"/x.wav"}, ImVec2(1, 1));
    drop.endFrame();
    EXPECT_FALSE(drop.accepts);
    drop.drop(ImVec2(2, 2));
    drop.endFrame();
    EXPECT_FALSE(drop.accepts);
    EXPECT_TRUE(drop.paths.empty());
    EXPECT_FALSE(drop.hovering);
}

TEST(DropState, LeaveClearsAtOnceAndEnterReplacesPaths) {
    DropState drop;
    drop.enter({"/a"}, ImVec2(0, 0));
    drop.enter({"/b", "/c"}, ImVec2(5, 5));
    EXPECT_EQ(drop.paths, (std::vector<std::string>{"/b", "/c"}));
    drop.wanted = true;
    drop.endFrame();
    ASSERT_TRUE(drop.accepts);
    drop.leave();
    EXPECT_TRUE(drop.paths.empty());
    EXPECT_FALSE(drop.hovering || drop.accepts || drop.dropped);
}

}  // namespace
}  // namespace tarn::ui
