// The header while a question is open: the discard box answered with its two buttons, keys held
// back while a file dialog waits, and the Help menu's "Manual" handed to the system opener.
#include "ui/header_bar.h"

#include "tests/ui/frame_input.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <string>
#include <vector>

namespace tarn::ui {
namespace {

using testing::FrameInput;

// A modified kind-1 "Patch" that asks before stepping, in a 900 x 36 header with window controls;
// the system opener records what it is asked to open.
struct AskingHeader {
    UiContext ui;
    testing::CountingWindow window;
    HeaderModel model;
    std::vector<std::string> opened;

    AskingHeader() {
        model.appName = "tarnlode";
        model.manual = "/usr/share/doc/tarnlode/manual.html";
        model.document = HeaderDocument{1, "Patch", "Acid Line", "", true, true, true, true, true, {}, ""};
        ui.systemOpener = [this](const std::string& path) {
            opened.push_back(path);
            return true;
        };
    }
    // One frame; `discardOpen`, when given, says whether the discard box is open after the header.
    HeaderResult frame(const FrameInput& in, bool* discardOpen = nullptr) {
        HeaderResult result;
        FrameInfo info;
        info.windowControls = &window;
        const auto body = [&](ImDrawList*) {
            result = header(info, Rect{0, 0, 900, 36}, model);
            if (discardOpen == nullptr) return;
            ImGui::PushID("tarn.header");
            *discardOpen = ImGui::IsPopupOpen("discard");
            ImGui::PopID();
        };
        testing::runFrame(ui, in, body, ImVec2(1000, 700));
        return result;
    }
    // The centre of the discard box's Keep (cancel) or Discard button, from the box's rectangle.
    ImVec2 boxButton(bool keep) {
        ContextScope scope(ui);
        const ImGuiWindow* box = ImGui::FindWindowByName("discard");
        if (box == nullptr) return ImVec2(-1, -1);
        const float right = box->Pos.x + box->Size.x - 12.0f;
        const float y = box->Pos.y + box->Size.y - 12.0f - 12.0f;
        return keep ? ImVec2(right - 84.0f - 8.0f - 42.0f, y) : ImVec2(right - 42.0f, y);
    }
};

TEST(HeaderAnswers, NextWaitsForTheBoxAndKeepDropsItForGood) {
    // the button clicked in the box: whether Next arrives, in the frame of the button's release
    for (const auto& [keep, nextOnRelease] : {std::pair{false, true}, {true, false}}) {
        AskingHeader rig;
        const Rect d = rig.frame(FrameInput{}).documentArea;
        const float x = d.x + d.w - 28 - 12;  // Next, left of Save
        std::vector<int> nexts;
        bool open = false;
        for (const FrameInput& in : testing::clickAt(x, 18)) nexts.push_back(rig.frame(in, &open).action.has_value());
        EXPECT_EQ(nexts, (std::vector<int>{0, 0, 0})) << "asked first, " << keep;
        EXPECT_TRUE(open) << keep;

        rig.frame(FrameInput{});  // the box is placed
        const ImVec2 at = rig.boxButton(keep);
        nexts.clear();
        // The click, then Enter: Enter would accept a box still open, but it must be closed by now.
        std::vector<FrameInput> answer = testing::clickAt(at.x, at.y);
        answer.insert(answer.end(), {FrameInput{}, testing::pressing({testing::scancode::enter}), FrameInput{}});
        for (const FrameInput& in : answer) nexts.push_back(rig.frame(in, &open).action == HeaderAction::Next);
        EXPECT_EQ(nexts, (std::vector<int>{0, 0, nextOnRelease, 0, 0, 0})) << keep;
        EXPECT_FALSE(open) << keep;
    }
}

TEST(HeaderAnswers, ManualGoesToTheSystemOpenerOnce) {
    AskingHeader rig;
    for (const FrameInput& in : testing::clickAt(40, 18)) rig.frame(in);
    std::vector<HeaderResult> results;
    ASSERT_TRUE(
        testing::clickPopupItem(rig.ui, "Manual", [&](const FrameInput& in) { results.push_back(rig.frame(in)); }));
    rig.frame(FrameInput{});
    EXPECT_EQ(rig.opened, std::vector<std::string>{"/usr/share/doc/tarnlode/manual.html"});
    for (const HeaderResult& r : results) EXPECT_FALSE(r.action || r.command || r.commandFile || r.openPath);
}

TEST(HeaderAnswers, KeysWaitWhileAFileDialogIsQueuedOrRunning) {
    // A file document with a path: Ctrl+S saves to it at once, unless another requester's dialog is
    // queued (asked for, not yet taken by the host) or running (taken, not yet answered).
    for (const int dialog : {0, 1, 2}) {
        AskingHeader rig;
        rig.model.document =
            HeaderDocument{0, "Song", "song", "/music/song.json", false, false, false, true, false, {}, ""};
        testing::runFrame(rig.ui, FrameInput{}, [&](ImDrawList*) {
            if (dialog > 0) requestFileDialog("elsewhere", FileDialogOptions{});
        });
        if (dialog == 2) {
            ContextScope scope(rig.ui);
            ASSERT_TRUE(takePendingFileDialog().has_value());
        }
        const HeaderResult r = rig.frame(testing::pressing({testing::scancode::s}, true));
        EXPECT_EQ(r.saveAsPath, dialog == 0 ? std::optional<std::string>("/music/song.json") : std::nullopt) << dialog;
    }
}

}  // namespace
}  // namespace tarn::ui
