// The save-preset popup as the keyboard and the pointer meet it: where typing goes, Escape, and the
// click that closes it.
#include "app/editor.h"
#include "tests/app/editor_frames.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

// Opens a popup from the header's preset actions (1 Save on the factory sound: the save popup; 7 the
// browser), types, then ends with Escape or a click on a text drawn outside the popup.
TEST(SavePopup, TakesTheTypingAtOnceClosesOnEscapeWithTheNameKeptAndLetsTheClosingClickThrough) {
    // clang-format off
    const struct {
        const char* what;
        std::uint32_t action;
        const char* typed;    // right after the popup opened
        bool escape;
        const char* clicked;  // then, a click on this text (null: none)
        bool stillOpen;
        const char* name;     // the name field's text at the end
        std::uint32_t tab;    // 0 arc, 1 motion
    } cases[] = {
        {"typing right after opening",   1, "Warm Bass", false, nullptr,  true,  "Warm Bass", 0},
        {"Escape",                       1, "Warm",      true,  nullptr,  false, "Warm",      0},
        {"a click on the Motion tab",    1, "Warm",      false, "Motion", false, "Warm",      1},
        // The popup's anchor is the preset's name, which opens the browser: that click only closes.
        {"a click on the anchor",        1, "Warm",      false, "Demo",   false, "Warm",      0},
        {"the browser, then Motion",     7, "",          false, "Motion", false, "",          1},
    };
    // clang-format on
    for (const auto& c : cases) {
        const AppEnvironment env;
        Editor editor(1);
        EditorFrames frames;
        frames.frame(editor);
        const std::optional<ui::Rect> outside = c.clicked ? frames.findText(c.clicked) : std::nullopt;
        frames.frameWith({}, [&](const ui::FrameInfo& info) {
            editor.initPresetsStrip(c.action);  // as the header does, before the strip draws
            editor.draw(info);
        });
        frames.frame(editor, ui::testing::typing(c.typed));
        frames.frame(editor);
        if (c.escape) frames.frame(editor, ui::testing::keys({ImGuiKey_Escape}));
        if (c.clicked) {
            ASSERT_TRUE(outside) << c.what;
            frames.click(editor, EditorFrames::centre(*outside));
        }
        frames.frame(editor);
        const bool open = frames.findText(c.action == 1 ? "Save" : "Search").has_value();
        EXPECT_EQ(open, c.stillOpen) << c.what;
        EXPECT_EQ(editor.presetName, c.name) << c.what;
        EXPECT_EQ(editor.selectedTab, c.tab) << c.what;
        EXPECT_FALSE(c.action == 1 && frames.findText("Search")) << c.what << ": the browser opened";
    }
}

}  // namespace
}  // namespace tarn
