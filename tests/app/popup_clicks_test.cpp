// The editor's popups under the pointer and the keys: a double click on an item acts once and reaches
// nothing beneath, however the item changed the window, and Escape closes every kind of popup.
#include "app/editor.h"
#include "storage/session.h"
#include "tests/app/editor_frames.h"
#include "tests/app/panel_frames.h"
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
    void frame(const ui::testing::WidgetInput& input = {}, float dt = 1.0f / 60.0f) {
        if (const float grow = editor.uiScale / frames.ui.displayScale; grow != 1.0f) {
            frames.display = ImVec2(frames.display.x * grow, frames.display.y * grow);
            ui::setDisplayScale(frames.ui, editor.uiScale);
        }
        frames.frame(editor, input, dt);
    }
    // Clicks the texts of `way` in turn (null: the menu button, its icon alone at this width); false
    // when one is not drawn.
    bool open(const std::vector<const char*>& way) {
        for (const char* text : way) {
            if (text == nullptr) frames.click(editor, ImVec2(48.0f, 43.0f));
            if (text != nullptr && !frames.clickText(editor, text)) return false;
        }
        return true;
    }
    // The popups' windows on the screen, the number entry's among them.
    std::vector<ui::Rect> popups() const {
        const ui::ContextScope scope(frames.ui);
        std::vector<const ImGuiWindow*> windows{ImGui::FindWindowByName("##tarn.numberEntry")};
        if (windows[0] == nullptr || !windows[0]->Active) windows.clear();
        for (const ImGuiPopupData& popup : GImGui->OpenPopupStack) windows.push_back(popup.Window);
        std::vector<ui::Rect> shown;
        for (const ImGuiWindow* w : windows)
            if (w != nullptr) shown.push_back({w->Pos.x, w->Pos.y, w->Size.x, w->Size.y});
        return shown;
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
            << " " << editor.status << (editor.playing ? " playing" : "") << " at " << editor.position << " loop "
            << editor.loopBar;
        for (int k = 0; popups && k < GImGui->OpenPopupStack.Size; ++k) out << " " << GImGui->OpenPopupStack[k].PopupId;
        return out.str();
    }
};

// Each kind of popup, reached by clicking texts on a tab. Its item, clicked two, three or four times in
// a quick run where something under the popup takes clicks, acts once and leaves the editor as a single
// click does, also when it resized the window. Escape closes every popup open, changing nothing else,
// and Space then stops the line.
TEST(PopupClicks, AQuickRunOfClicksOnAnItemActsOnceAndEscapeClosesThePopup) {
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
        std::vector<std::string> after;  // opened, then after runs of one to four clicks
        for (const int run : c.item != nullptr ? std::vector{0, 1, 2, 3, 4, 5} : std::vector{0, 5}) {
            Window w;
            w.editor.selectedTab = c.tab;
            w.frame();
            ASSERT_TRUE(w.open(c.way)) << what;
            const std::optional<ui::Rect> item = c.item != nullptr ? w.frames.findText(c.item) : std::nullopt;
            ASSERT_TRUE(item || c.item == nullptr) << what;
            for (int k = 0; run < 5 && k < run; ++k) {  // 4 frames of 1/60 s a click: 67 ms between presses
                const ImVec2 p = testing::EditorFrames::centre(*item);
                for (const bool down : {false, true, false, false}) w.frame(ui::testing::pointer(p.x, p.y, down));
            }
            after.push_back(w.state(true));
            if (run < 5) continue;
            for (int k = 0; k < 3; ++k) {
                w.frame(ui::testing::keys({ImGuiKey_Escape}));
                w.frame();
            }
            EXPECT_EQ(w.state(true), after[0].substr(0, w.state(false).size())) << what << ": Escape";
            w.frame(ui::testing::keys({ImGuiKey_Space}));
            EXPECT_FALSE(w.editor.playing) << what << ": Space did not stop the line";
        }
        EXPECT_TRUE(c.item == nullptr || after[1] != after[0]) << what << ": the click did nothing";
        for (int clicks = 2; c.item != nullptr && clicks <= 4; ++clicks)
            EXPECT_EQ(after[clicks], after[1]) << what << ", " << clicks << " clicks";
    }
}

// Every popup, open over each tab, then a press and a short drag on each canvas and on a switch outside
// it, let go once the popup has gone, alone or at once after a click there: the popup is closed (the
// discard question, modal, stays open), and the editor is as it was. The press alone a moment later,
// with nothing open, edits.
TEST(PopupClicks, APressBesideAPopupAndTheQuickPressesAfterItOnlyCloseItAndTheNextPressEdits) {
    // clang-format off
    const struct { const char* what; std::vector<const char*> way; bool patternTab; } popups[] = {
        {"menu", {nullptr}, false},
        {"UI size", {nullptr, "UI size"}, false},
        {"About box", {nullptr, "About tarnlode"}, false},
        {"shortcuts box", {nullptr, "Keyboard shortcuts"}, false},
        {"preset browser", {"Demo"}, false},
        {"save popup", {nullptr, "Save As..."}, false},
        {"category list", {nullptr, "Save As...", "Pluck"}, false},
        {"discard question", {"Legato", nullptr, "New"}, false},
        {"tempo entry", {"120", "120"}, false},  // a double click on the tempo
        {"style box", {"House: Deep"}, true},
        {"bar-count box", {"4 bars"}, true},
        {"scale box", {"Minor"}, true},
    };
    // Where each press lands, at fractions of a block of the editor, and how far it is dragged: a switch
    // is clicked. The waveform holds a render; the right button finds a note added there first.
    const struct { const char* what; std::uint32_t tab; ui::Rect Editor::*block; float fx, fy, drag; bool right = false; } targets[] = {
        {"piano roll", 3, &Editor::canvasRect, 0.96f, 0.27f, 12.0f},
        {"piano roll's note, right button", 3, &Editor::canvasRect, 0.96f, 0.27f, 0.0f, true},
        {"kick row", 3, &Editor::canvasRect, 0.96f, 0.357f, 12.0f},
        {"bar numbers", 3, &Editor::canvasRect, 0.02f, 0.45f, 12.0f},
        {"punch graph", 3, &Editor::voiceStripRect, 0.05f, 0.7f, 12.0f},
        {"shape graph", 3, &Editor::voiceStripRect, 0.35f, 0.6f, 12.0f},
        {"glide graph", 3, &Editor::voiceStripRect, 0.53f, 0.45f, 12.0f},
        {"Legato switch", 3, &Editor::voiceStripRect, 0.52f, 0.84f, 0.0f},
        {"spread graph", 3, &Editor::voiceStripRect, 0.9f, 0.7f, 12.0f},
        {"waveform", 3, &Editor::waveformRect, 0.95f, 0.7f, 12.0f},
        {"arc lane", 0, &Editor::canvasRect, 0.96f, 0.5f, 12.0f},
        {"motion cycle", 1, &Editor::canvasRect, 0.96f, 0.5f, 12.0f},
        {"spectrum", 2, &Editor::canvasRect, 0.96f, 0.5f, 12.0f},
    };
    // clang-format on
    const AudioConfig config{48000.0f, 120.0f, 64};
    for (const auto& popup : popups) {
        for (const auto& target : targets)
            for (const bool afterAClick : {false, true}) {
                if (popup.patternTab && target.tab != 3) continue;
                const std::string what =
                    std::string(popup.what) + " over the " + target.what + (afterAClick ? ", after a click" : "");
                Window w;
                w.editor.selectedTab = target.tab;
                if (target.block == &Editor::waveformRect) w.editor.renderPhrase(config);
                w.frame();
                const ImVec2 p = testing::inside(w.editor.*target.block, target.fx, target.fy);
                const auto play = [&](const testing::Gesture& gesture) {
                    for (ui::testing::WidgetInput input : gesture) {
                        w.frames.right = target.right && input.left;
                        input.left = input.left && !target.right;
                        w.frame(input);
                    }
                };
                if (target.right) {
                    for (const auto& input : testing::click(p)) w.frame(input);
                    w.frame({}, 0.4f);
                }
                ASSERT_TRUE(w.open(popup.way)) << what;
                const std::vector<ui::Rect> shown = w.popups();
                ASSERT_FALSE(shown.empty()) << what;
                const std::string before = w.state(false);
                for (const ui::Rect& r : shown)
                    ASSERT_FALSE(p.x >= r.x && p.x < r.x + r.w && p.y >= r.y && p.y < r.y + r.h)
                        << what << ": under the popup";
                const float d = target.drag;
                const testing::Gesture press =
                    testing::drag(p, {ImVec2(p.x + d * 0.5f, p.y - d * 0.5f), ImVec2(p.x + d, p.y - d)});
                testing::Gesture run = afterAClick ? testing::click(p) : testing::Gesture{};
                run.insert(run.end(), press.begin(), press.end());
                play(run);
                w.frame();
                EXPECT_EQ(w.state(false), before) << what;
                const bool modal = std::string(popup.what) == "discard question";
                EXPECT_EQ(w.popups().size(), modal ? 1u : 0u) << what;
                if (modal) w.frame(ui::testing::keys({ImGuiKey_Escape}));
                w.frame({}, 0.4f);  // past the double-click time: the run has ended
                const std::string closed = w.state(false);
                play(press);
                w.frame();
                EXPECT_NE(w.state(false), closed) << what << ": the press did nothing with no popup open";
            }
    }
}

}  // namespace
}  // namespace tarn
