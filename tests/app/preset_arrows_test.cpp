// The header's preset arrows under a pointer that stays put: each click steps one preset, however soon
// it follows the last and whatever the names' lengths, and the bar fits the name again once the
// pointer leaves.
#include "app/editor.h"
#include "tests/app/editor_frames.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <cmath>
#include <optional>
#include <string>

namespace tarn {
namespace {

using testing::AppEnvironment;
using testing::EditorFrames;

// The id the header's document button `name` answers to under the pointer.
ImGuiID documentButtonId(const char* name) {
    ImGui::PushID("tarn.header");
    ImGui::PushID("preset");
    const ImGuiID id = ImGui::GetID(name);
    ImGui::PopID();
    ImGui::PopID();
    return id;
}

ImGuiID hoveredId(const EditorFrames& frames) {
    const ui::ContextScope scope(frames.ui);
    return GImGui->HoveredId;
}

// The middle of where the pointer reaches the button, sweeping the header's first row from the left.
std::optional<ImVec2> findButton(EditorFrames& frames, Editor& editor, ImGuiID id, float s) {
    const float y = std::floor(25.0f * s + 18.0f * s);  // the middle of the first row, inside the frame
    std::optional<float> first, last;
    for (float x = 0.0f; x < frames.display.x / 2.0f; x += 1.0f) {  // the bar sits in the left half
        frames.frame(editor, ui::testing::pointer(x, y));
        if (hoveredId(frames) != id) continue;
        if (!first) first = x;
        last = x;
    }
    if (!first) return std::nullopt;
    return ImVec2(std::floor((*first + *last) / 2.0f), y);
}

TEST(PresetArrows, FourQuickClicksOnAnArrowWithoutMovingStepFourPresetsAndTheBarFitsTheNameAfterwards) {
    const AppEnvironment env;
    for (const float s : {1.0f, 1.5f, 2.0f}) {
        for (const char* button : {"next", "previous"}) {
            Editor editor(1);
            EditorFrames frames(ImVec2(900.0f * s, 700.0f * s));
            ui::setDisplayScale(frames.ui, s);
            const std::uint64_t count = editor.presets.entries.size();
            const std::uint64_t start = editor.presetIndex;
            ImGuiID id = 0;
            frames.frameWith({}, [&](const ui::FrameInfo& info) {
                editor.draw(info);
                id = documentButtonId(button);
            });
            const std::optional<ImVec2> at = findButton(frames, editor, id, s);
            ASSERT_TRUE(at) << s << " " << button;
            const bool forward = std::string(button) == "next";
            for (std::uint64_t k = 1; k <= 4; ++k) {
                frames.click(editor, *at);
                // Clicks 0.17 s apart, inside the double-click time: a double click means nothing here,
                // so every click steps.
                frames.frame(editor, ui::testing::pointer(at->x, at->y), 0.1f);
                EXPECT_EQ(editor.presetIndex, forward ? (start + k) % count : (start + count * 4 - k) % count)
                    << s * 100 << " %, " << button << " click " << k;
                EXPECT_EQ(hoveredId(frames), id) << s * 100 << " %, " << button << " moved from under the pointer";
            }
            // Away from the bar it shows the new name whole, as wide as the name wants.
            frames.frame(editor, ui::testing::pointer(1.0f, frames.display.y - 1.0f));
            frames.frame(editor, ui::testing::pointer(1.0f, frames.display.y - 1.0f));
            EXPECT_TRUE(frames.findText(editor.presets.entries.at(editor.presetIndex).name))
                << s * 100 << " %, " << button << ": " << editor.presets.entries.at(editor.presetIndex).name;
        }
    }
}

}  // namespace
}  // namespace tarn
