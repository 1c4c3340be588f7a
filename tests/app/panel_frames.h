// The panel tests' editor: one tab of a headless editor driven by mouse gestures, the shapes a frame
// filled, and what the live player was handed.
#pragma once

#include "app/editor.h"
#include "tests/app/editor_frames.h"
#include "ui/theme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarn::testing {

using Gesture = std::vector<WidgetInput>;

inline WidgetInput at(ImVec2 p, bool left = false) { return ui::testing::pointer(p.x, p.y, left); }
// A press at `from` held along `path` and let go at its end, after a frame hovering `from`.
inline Gesture drag(ImVec2 from, const std::vector<ImVec2>& path) {
    Gesture frames = {at(from), at(from, true)};
    for (ImVec2 p : path) frames.push_back(at(p, true));
    frames.push_back(at(path.empty() ? from : path.back()));
    return frames;
}
inline Gesture click(ImVec2 p) { return drag(p, {}); }
inline Gesture doubleClick(ImVec2 p) { return {at(p), at(p, true), at(p), at(p, true), at(p)}; }
// The pixel at fractions of a rectangle. The mouse moves by whole pixels, as Dear ImGui floors it.
inline ImVec2 inside(const ui::Rect& r, float fx, float fy) {
    return ImVec2(std::floor(r.x + fx * r.w), std::floor(r.y + fy * r.h));
}

// A headless editor showing one tab; or, given an SDL audio driver, an editor as the window runs
// it, with live audio through that driver.
struct EditorTab {
    explicit EditorTab(std::uint32_t tab, float displayWidth = 900, float displayHeight = 950,
                       const char* audioDriver = nullptr)
        : env(audioDriver != nullptr ? audioDriver : "nonexistent"),
          editor(audioDriver != nullptr ? 0 : 1),
          frames(ImVec2(displayWidth, displayHeight)) {
        editor.selectedTab = tab;
    }

    // Idle frames first, so the windows exist to be hovered and no earlier click pairs with the gesture's.
    void run(const Gesture& gesture = {}) {
        for (int i = 0; i < 30; ++i) frames.frame(editor, at(ImVec2(-1, -1)));
        for (const WidgetInput& in : gesture) frames.frame(editor, in);
    }
    // Counts everything done to the patch so far as loaded, so the next edit marks it modified.
    void settle() { editor.baselinePatch = editor.patch; }

    // The shapes the last frame filled in one colour (0xAARRGGBB) whose top lies in `band`'s height, from
    // left to right. An anti-aliased fill alternates inner vertices, which carry the colour half a pixel
    // inside the edge, with transparent outer ones; shapes placed on whole pixels are rounded back out.
    std::vector<ui::Rect> boxes(std::uint32_t argb, const ui::Rect& band) {
        const ui::ContextScope scope(frames.ui);
        std::vector<ui::Rect> out;
        const ImDrawData* data = ImGui::GetDrawData();
        for (int l = 0; l < data->CmdListsCount; ++l) {
            const ImVector<ImDrawVert>& v = data->CmdLists[l]->VtxBuffer;
            for (int i = 0; i < v.Size; ++i) {
                if (v[i].col != ui::toImColor(argb)) continue;
                ImVec2 min = v[i].pos, max = v[i].pos;
                for (; i + 2 < v.Size && v[i + 2].col == v[i].col; i += 2) {
                    min = ImVec2(std::min(min.x, v[i + 2].pos.x), std::min(min.y, v[i + 2].pos.y));
                    max = ImVec2(std::max(max.x, v[i + 2].pos.x), std::max(max.y, v[i + 2].pos.y));
                }
                const float x = std::round(min.x - 0.5f), y = std::round(min.y - 0.5f);
                if (y >= band.y && y < band.y + band.h)
                    out.push_back({x, y, std::round(max.x + 0.5f) - x, std::round(max.y + 0.5f) - y});
            }
        }
        std::sort(out.begin(), out.end(), [](const ui::Rect& a, const ui::Rect& b) { return a.x < b.x; });
        return out;
    }

    // What every edit must reach: the header's modified mark (the patch against the one last loaded or
    // saved) and the live player, which sounds exactly like a player handed the patch directly.
    void expectHandedOn() {
        EXPECT_FALSE(samePatchBits(editor.patch, editor.baselinePatch)) << "the header shows no change";
        LivePlayer reference;
        for (LivePlayer* player : {&editor.player, &reference}) {
            player->prepare(AudioConfig{});
            player->requestSeek(0.0);
        }
        reference.publishPatch(editor.patch);
        std::vector<float> heard(2 * 48000), expected(2 * 48000);
        editor.player.process(heard.data(), 48000);
        reference.process(expected.data(), 48000);
        EXPECT_TRUE(heard == expected) << "the player did not get the edited patch";
    }

    AppEnvironment env;  // first: the editor scans the preset folders it points at
    Editor editor{1};
    EditorFrames frames;  // a display of the given size
};

}  // namespace tarn::testing
