// The text field over simulated frames: typing reports a change, the active outline, balanced styles.
#include "ui/text_field.h"

#include "tests/ui/widget_frames.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <string>
#include <vector>

namespace tarn::ui {
namespace {

using testing::hasVertexColour;
using testing::keys;
using testing::pointer;
using testing::typing;
using testing::WidgetInput;
using testing::widgetFrame;

TEST(TextField, TypingChangesTheStringAndOutlinesTheActiveField) {
    UiContext ui;
    std::string text = "Bass";
    const Rect r{50, 50, 200, 24};
    std::vector<bool> changed;
    std::vector<bool> outlined;
    WidgetInput typed = typing("y!");
    typed.mouse = ImVec2(400, 400);
    for (const WidgetInput& in : {pointer(100, 62), pointer(100, 62, true), pointer(100, 62), keys({ImGuiKey_End}), typed,
                                  pointer(400, 400, true), pointer(400, 400)}) {
        widgetFrame(ui, in, [&](ImDrawList* list) {
            changed.push_back(textField("name", r, text, "Name"));
            outlined.push_back(hasVertexColour(list, 0xFF5A8A1A));
            EXPECT_EQ(ImGui::GetCurrentContext()->StyleVarStack.Size, 0);
            EXPECT_EQ(ImGui::GetCurrentContext()->ColorStack.Size, 0);
            EXPECT_FLOAT_EQ(ImGui::GetItemRectSize().y, 24.0f) << "the field fills the rectangle's height";
        });
    }
    EXPECT_EQ(text, "Bassy!");
    EXPECT_EQ(changed, (std::vector<bool>{false, false, false, false, true, false, false}));
    EXPECT_FALSE(outlined[0]);
    EXPECT_TRUE(outlined[4]) << "outlined while active";
    EXPECT_FALSE(outlined[6]) << "a click elsewhere ends the edit";
}

// What the field copies reaches the clipboard with every character, whatever its plane, and what it
// pastes reaches the text the same way, private-use characters and replacement marks included; a run of
// pasted tabs and line breaks becomes one space, other control characters are left out.
TEST(TextField, CopyAndPasteKeepEveryCharacterAndPastedBreaksBecomeSpaces) {
    const auto ctrl = [](ImGuiKey key) {
        WidgetInput in = keys({key});
        in.ctrl = true;
        return in;
    };
    // clang-format off
    const struct { std::string text, clipboard; std::vector<ImGuiKey> keys; std::string textAfter, clipboardAfter; } cases[] = {
        {"A🎸\uE000", "", {ImGuiKey_A, ImGuiKey_C, ImGuiKey_End, ImGuiKey_V}, "A🎸\uE000A🎸\uE000", "A🎸\uE000"},
        {"x", "😀\uE001 \uFFFD𝄞", {ImGuiKey_End, ImGuiKey_V}, "x😀\uE001 \uFFFD𝄞", "😀\uE001 \uFFFD𝄞"},
        {"Bass", "\tdeep\r\n\x01\nline\x02\u0085wide \t", {ImGuiKey_End, ImGuiKey_V}, "Bass deep line wide  ",
         "\tdeep\r\n\x01\nline\x02\u0085wide \t"},
    };
    // clang-format on
    for (const auto& c : cases) {
        UiContext ui;
        std::string text = c.text;
        std::vector<WidgetInput> steps{pointer(100, 62), pointer(100, 62, true), pointer(100, 62)};
        for (ImGuiKey key : c.keys) steps.push_back(key == ImGuiKey_End ? keys({key}) : ctrl(key));
        for (const WidgetInput& in : steps) {
            widgetFrame(ui, in, [&](ImDrawList*) {
                if (ImGui::GetFrameCount() == 1) ImGui::SetClipboardText(c.clipboard.c_str());  // another program's
                textField("name", Rect{50, 50, 200, 24}, text, "");
            });
        }
        const ContextScope scope(ui);
        EXPECT_EQ(text, c.textAfter);
        EXPECT_EQ(std::string(ImGui::GetClipboardText()), c.clipboardAfter);
    }
}

TEST(TextField, EmptyPlaceholderUsesAPlainField) {
    UiContext ui;
    std::string text;
    for (int f = 0; f < 2; ++f) {
        widgetFrame(ui, WidgetInput{}, [&](ImDrawList*) {
            EXPECT_FALSE(textField("plain", Rect{0, 0, 0, 0}, text, ""));
            EXPECT_GE(ImGui::GetItemRectSize().x, 1.0f) << "a zero width never means the rest of the line";
        });
    }
}

}  // namespace
}  // namespace tarn::ui
