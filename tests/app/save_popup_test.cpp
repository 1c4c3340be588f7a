// The save-preset popup as the keyboard and the pointer meet it: what a name keeps, where typing goes,
// Escape, and the click that closes it.
#include "app/editor.h"
#include "storage/preset_save.h"
#include "tests/app/editor_frames.h"
#include "tests/storage/preset_test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarn {
namespace {

namespace fs = std::filesystem;
using testing::AppEnvironment;
using testing::EditorFrames;

// The editor over a preset folder of its own. A preset named `nameJson` (JSON string text, escapes as
// written) is written in the category Acid, as another program could, and chosen (none: the factory
// sound Demo, of the category Pluck); then the header's Save (1) or Save As (2), End, each frame's
// typing into the popup's name field and Enter. Gives every preset file's path below the plugin's
// folder, sorted.
std::set<std::string> saveAsTheUserDoes(Editor& editor, const std::string& nameJson, std::uint32_t action,
                                        const std::vector<std::string>& typed) {
    const fs::path folder = editor.presets.userFolder / "tarnlode";
    if (!nameJson.empty()) {
        testing::writePreset(folder / "acid" / "by-hand.json", "by-hand", nameJson, "Acid");
        editor.presets.rescan();
        editor.loadPreset(editor.presets.entries.size() - 1);  // listed after the factory sounds
    }
    EditorFrames frames;
    frames.frame(editor);
    frames.frameWith({}, [&](const ui::FrameInfo& info) {
        editor.initPresetsStrip(action);
        editor.draw(info);
    });
    frames.frame(editor, ui::testing::keys({ImGuiKey_End}));
    for (const std::string& text : typed) frames.frame(editor, ui::testing::typing(text));
    frames.frame(editor, ui::testing::keys({ImGuiKey_Enter}));
    std::set<std::string> files;
    std::error_code none;  // no folder yet: no files
    for (const auto& entry : fs::recursive_directory_iterator(folder, none))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), folder).string());
    return files;
}

// A name keeps every character, whatever its plane, whether it was loaded from a preset another program
// wrote or typed (a character a frame, or several at once as an input method hands them over): the file
// saved is byte for byte what saving that name writes. No control character gets into a name, a file name
// or a document (not the NUL an earlier version wrote into a file, not one typed), and a name of nothing
// but spaces is no name.
TEST(SavePopup, ANameKeepsEveryCharacterButControlCharacters) {
    // clang-format off
    const struct { const char* nameJson; std::uint32_t action; std::vector<std::string> typed;
                   std::string saved; std::set<std::string> files; } cases[] = {
        {"Hand 🎸 emoji",             2, {" 2"}, "Hand 🎸 emoji 2", {"acid/by-hand.json", "acid/hand-🎸-emoji-2.json"}},
        {"Hand \\ud83c\\udfb8 emoji", 2, {" 2"}, "Hand 🎸 emoji 2", {"acid/by-hand.json", "acid/hand-🎸-emoji-2.json"}},
        {"𝄞𠀋",                       2, {" 2"}, "𝄞𠀋 2",           {"acid/by-hand.json", "acid/𝄞𠀋-2.json"}},
        // Private-use characters of its own and a replacement mark.
        {"\\ue000😀\\uf8ff \\ufffd",  2, {" 2"}, "\uE000😀\uF8FF \uFFFD 2",
         {"acid/by-hand.json", "acid/\uE000😀\uF8FF-\uFFFD-2.json"}},
        // Typed into the name a Save on a factory sound asks for.
        {"", 1, {"🎸"},                                "🎸",                      {"pluck/🎸.json"}},
        {"", 1, {"B", "𝄞", "ä", "😀"},                 "B𝄞ä😀",                   {"pluck/b𝄞ä😀.json"}},
        {"", 1, {"\uE000🎸\uFFFD", "😀\uFFFD\uF8FF"},   "\uE000🎸\uFFFD😀\uFFFD\uF8FF", {"pluck/\uE000🎸\uFFFD😀\uFFFD\uF8FF.json"}},
        {"Hand \\ufffd emoji 2\\u0000", 1, {},     "Hand \uFFFD emoji 2",     {"acid/hand-\uFFFD-emoji-2.json"}},
        {"Hand \\ufffd emoji 2\\u0000", 2, {" 3"}, "Hand \uFFFD emoji 2 3",
         {"acid/by-hand.json", "acid/hand-\uFFFD-emoji-2-3.json"}},
        {"a\\tb\\u007fc\\u0085d",        2, {},     "abcd",                    {"acid/abcd.json"}},
        {"",  1, {"x\u0085\x01y", "\x7f\u009fz"},    "xyz",                     {"pluck/xyz.json"}},
        // Refused: nothing saved.
        {"",  1, {"   "},                           "",                        {}},
        {"",  1, {" \u00A0\u3000"},                  "",                        {}},
        {"\\u0001\\u0002", 1, {},               "",                        {"acid/by-hand.json"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const AppEnvironment env;
        Editor editor(1);
        EXPECT_EQ(saveAsTheUserDoes(editor, c.nameJson, c.action, c.typed), c.files) << c.nameJson;
        if (c.saved.empty()) {
            EXPECT_EQ(editor.status, "A preset needs a name") << c.nameJson;
            continue;
        }
        EXPECT_EQ(editor.status, "Saved " + c.saved);
        const PresetEntry& entry = editor.presets.entries.at(editor.presetIndex);  // as read back from its file
        EXPECT_EQ(entry.name, c.saved);
        IssueList issues;
        const auto expected = writePackage(buildPresetPackage({c.saved, entry.category}, editor.patch), issues);
        const std::string text = testing::readText(entry.path);
        EXPECT_TRUE(expected && text == std::string(expected->begin(), expected->end())) << text;
    }
}

// Opens a popup from the header's preset actions (1 Save on the factory sound: the save popup; 7 the
// browser), types, then ends with Escape or a click on a text drawn outside the popup, which only closes it.
TEST(SavePopup, TakesTheTypingAtOnceClosesOnEscapeWithTheNameKeptAndTheClosingClickReachesNothingElse) {
    // clang-format off
    const struct {
        const char* what;
        std::uint32_t action;
        const char* typed;    // right after the popup opened
        bool escape;
        const char* clicked;  // then, a click on this text (null: none)
        bool stillOpen;
        const char* name;     // the name field's text at the end
        std::uint32_t tab;    // 0 arc, 1 motion: the tab shown at the end
    } cases[] = {
        {"typing right after opening",   1, "Warm Bass", false, nullptr,  true,  "Warm Bass", 0},
        {"Escape",                       1, "Warm",      true,  nullptr,  false, "Warm",      0},
        {"a click on the Motion tab",    1, "Warm",      false, "Motion", false, "Warm",      0},
        // The popup's anchor is the preset's name, which opens the browser: that click only closes.
        {"a click on the anchor",        1, "Warm",      false, "Demo",   false, "Warm",      0},
        {"the browser, then Motion",     7, "",          false, "Motion", false, "",          0},
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
