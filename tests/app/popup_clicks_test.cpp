// The editor's popups under the pointer and the keys: a double click on an item acts once and reaches
// nothing beneath, however the item changed the window, and Escape closes every kind of popup.
#include "app/editor.h"
#include "storage/session.h"
#include "tests/app/editor_frames.h"
#include "tests/ui/frame_input.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace tarn {
namespace {

// The editor in a window that takes a new UI size before the next frame, growing with it, as the real one.
struct Window {
    testing::AppEnvironment env;
    Editor editor{1};
    testing::EditorFrames frames;
    ui::testing::CountingWindow controls;  // Space plays only in a window
    Window() { frames.controls = &controls; }
    void frame(const ui::testing::WidgetInput& input = {}) {
        if (const float grow = editor.uiScale / frames.ui.displayScale; grow != 1.0f) {
            frames.display = ImVec2(frames.display.x * grow, frames.display.y * grow);
            ui::setDisplayScale(frames.ui, editor.uiScale);
        }
        frames.frame(editor, input);
    }
    // What the user keeps and sees: the sound and pattern as saved, the line, tab, size, preset, status
    // and transport; then the popups open.
    std::string state(bool popups) const {
        Session s;
        s.patch = editor.patch;
        s.pattern = editor.pattern;
        const ui::ContextScope scope(frames.ui);
        std::ostringstream out;
        out << std::hash<std::string>()(writeSession(s)) << editor.patternDrives << " tab " << editor.selectedTab
            << " size " << editor.uiScale << " preset " << editor.presetIndex << " of " << editor.presets.entries.size()
            << " " << editor.status << (editor.playing ? " playing" : "");
        for (int k = 0; popups && k < GImGui->OpenPopupStack.Size; ++k) out << " " << GImGui->OpenPopupStack[k].PopupId;
        return out.str();
    }
};

// Each kind of popup, reached by clicking texts on a tab (null: the menu button, its icon alone at this
// width). Its item, double-clicked where something under the popup takes clicks, acts once and leaves
// the editor as a single click does, also when it resized the window. Escape closes every popup open,
// changing nothing else, and Space then stops the line.
TEST(PopupClicks, ADoubleClickOnAnItemActsOnceAndEscapeClosesThePopup) {
    // clang-format off
    const struct { std::uint32_t tab; std::vector<const char*> way; const char* item; } cases[] = {
        {0, {"Demo"}, "Wobble"},  // the preset browser over the arc lanes
        {3, {"Demo"}, "Wobble"},  // and over the pattern
        {3, {nullptr, "UI size"}, "125 %"},
        {3, {nullptr}, "About tarnlode"},
        {3, {nullptr, "About tarnlode"}, nullptr},
        {3, {"House: Deep"}, "Trance: Offbeat roll"},
        {3, {"4 bars"}, "16 bars"},
        {3, {"Minor"}, "Chromatic"},
        {3, {nullptr, "Save As...", "Pluck"}, "Acid"},
        {3, {nullptr, "Save As..."}, "Save"},
        {3, {"Legato", nullptr, "New"}, "Discard"},  // asked once the sound is edited
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::string what = c.item != nullptr ? c.item : c.way.back();
        std::vector<std::string> after;  // opened, then after a click and a double click
        for (const int run : c.item != nullptr ? std::vector{0, 1, 2, 3} : std::vector{0, 3}) {
            Window w;
            w.editor.selectedTab = c.tab;
            w.frame();
            for (const char* text : c.way) {
                if (text == nullptr) w.frames.click(w.editor, ImVec2(48.0f, 43.0f));
                ASSERT_TRUE(text == nullptr || w.frames.clickText(w.editor, text)) << what << ": no " << text;
            }
            const std::optional<ui::Rect> item = c.item != nullptr ? w.frames.findText(c.item) : std::nullopt;
            ASSERT_TRUE(item || c.item == nullptr) << what;
            for (int k = 0; run < 3 && k < run; ++k) {  // 4 frames of 1/60 s a click: 67 ms between presses
                const ImVec2 p = testing::EditorFrames::centre(*item);
                for (const bool down : {false, true, false, false}) w.frame(ui::testing::pointer(p.x, p.y, down));
            }
            after.push_back(w.state(true));
            if (run < 3) continue;
            for (int k = 0; k < 3; ++k) {
                w.frame(ui::testing::keys({ImGuiKey_Escape}));
                w.frame();
            }
            EXPECT_EQ(w.state(true), after[0].substr(0, w.state(false).size())) << what << ": Escape";
            w.frame(ui::testing::keys({ImGuiKey_Space}));
            EXPECT_FALSE(w.editor.playing) << what << ": Space did not stop the line";
        }
        EXPECT_TRUE(c.item == nullptr || after[1] != after[0]) << what << ": the click did nothing";
        EXPECT_TRUE(c.item == nullptr || after[2] == after[1]) << what << "\n" << after[2] << "\n" << after[1];
    }
}

}  // namespace
}  // namespace tarn
