// The editor in short and narrow windows at every UI size: the canvas gives way, the strips under it
// stay whole and in reach, and no text is drawn over another.
#include "app/editor.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace tarn {
namespace {

using testing::EditorFrames;

bool overlap(const ui::Rect& a, const ui::Rect& b, float by = 0.5f) {
    return std::min(a.x + a.w, b.x + b.w) - std::max(a.x, b.x) > by &&
           std::min(a.y + a.h, b.y + b.h) - std::max(a.y, b.y) > by;
}
bool within(const ui::Rect& inner, const ui::Rect& outer) {
    return inner.x >= outer.x - 0.5f && inner.y >= outer.y - 0.5f && inner.x + inner.w <= outer.x + outer.w + 0.5f &&
           inner.y + inner.h <= outer.y + outer.h + 0.5f;
}
ui::Rect unite(const std::optional<ui::Rect>& a, const ui::Rect& b) {
    if (!a) return b;
    const float x = std::min(a->x, b.x), y = std::min(a->y, b.y);
    return {x, y, std::max(a->x + a->w, b.x + b.w) - x, std::max(a->y + a->h, b.y + b.h) - y};
}

// What the canvas drew last frame: every shape of its child windows, cut to the rectangle each was
// clipped to. Nothing when it drew nothing.
std::optional<ui::Rect> canvasDrawn(const EditorFrames& frames) {
    const ui::ContextScope scope(frames.ui);
    std::optional<ui::Rect> drawn;
    for (const ImGuiWindow* window : GImGui->Windows) {
        if (!window->Active || std::string(window->Name).find("/canvas_") == std::string::npos) continue;
        const ImDrawList& list = *window->DrawList;
        for (const ImDrawCmd& cmd : list.CmdBuffer) {
            if (cmd.UserCallback != nullptr || cmd.ElemCount == 0) continue;
            ImVec2 lo(1e9f, 1e9f), hi(-1e9f, -1e9f);
            for (unsigned int i = 0; i < cmd.ElemCount; ++i) {
                const ImVec2 p = list.VtxBuffer[static_cast<int>(cmd.VtxOffset +
                                                                 list.IdxBuffer[static_cast<int>(cmd.IdxOffset + i)])]
                                     .pos;
                lo = ImVec2(std::min(lo.x, p.x), std::min(lo.y, p.y));
                hi = ImVec2(std::max(hi.x, p.x), std::max(hi.y, p.y));
            }
            lo = ImVec2(std::max(lo.x, cmd.ClipRect.x), std::max(lo.y, cmd.ClipRect.y));
            hi = ImVec2(std::min(hi.x, cmd.ClipRect.z), std::min(hi.y, cmd.ClipRect.w));
            if (hi.x - lo.x >= 0.5f && hi.y - lo.y >= 0.5f)
                drawn = unite(drawn, {lo.x, lo.y, hi.x - lo.x, hi.y - lo.y});
        }
    }
    return drawn;
}

// A title or value as drawn whole, or its start followed by an ellipsis.
bool wholeOrCut(const std::u32string& run, const std::set<std::u32string>& whole) {
    if (whole.count(run) != 0) return true;
    if (run.size() < 2 || run.back() != U'\u2026') return false;
    const std::u32string start = run.substr(0, run.size() - 1);
    return std::any_of(whole.begin(), whole.end(), [&](const std::u32string& w) { return w.rfind(start, 0) == 0; });
}

// The glyphs the last frame shows, in drawing order, each cut to the rectangle it was clipped to:
// a text scrolled out of its window is not seen.
std::vector<ui::Rect> visibleGlyphs(const EditorFrames& frames) {
    const ui::ContextScope scope(frames.ui);
    std::set<std::tuple<float, float, float, float>> corners;
    for (const ImFont* font : ImGui::GetIO().Fonts->Fonts)
        for (const ImFontGlyph& g : font->Glyphs)
            if (g.Visible) corners.insert({g.U0, g.V0, g.U1, g.V1});
    std::vector<ui::Rect> glyphs;
    const ImDrawData* data = ImGui::GetDrawData();
    for (int l = 0; l < data->CmdListsCount; ++l) {
        const ImDrawList& list = *data->CmdLists[l];
        for (const ImDrawCmd& cmd : list.CmdBuffer) {
            if (cmd.UserCallback != nullptr || cmd.ElemCount == 0) continue;
            unsigned int first = ~0u, last = 0;
            for (unsigned int i = 0; i < cmd.ElemCount; ++i) {
                const unsigned int v = cmd.VtxOffset + list.IdxBuffer[static_cast<int>(cmd.IdxOffset + i)];
                first = std::min(first, v);
                last = std::max(last, v);
            }
            const ImDrawVert* v = list.VtxBuffer.Data;
            for (unsigned int i = first; i + 3 <= last; ++i) {
                if (corners.count({v[i].uv.x, v[i].uv.y, v[i + 2].uv.x, v[i + 2].uv.y}) == 0 ||
                    v[i + 1].uv.x != v[i + 2].uv.x || v[i + 3].uv.x != v[i].uv.x)
                    continue;
                const float x0 = std::max(v[i].pos.x, cmd.ClipRect.x), y0 = std::max(v[i].pos.y, cmd.ClipRect.y);
                const float x1 = std::min(v[i + 2].pos.x, cmd.ClipRect.z),
                            y1 = std::min(v[i + 2].pos.y, cmd.ClipRect.w);
                if (x1 > x0 && y1 > y0) glyphs.push_back({x0, y0, x1 - x0, y1 - y0});
                i += 3;
            }
        }
    }
    return glyphs;
}

// Glyphs of different texts that cover each other. Neighbours in drawing order belong to one text.
std::vector<std::pair<ui::Rect, ui::Rect>> glyphsOverGlyphs(const std::vector<ui::Rect>& glyphs) {
    std::vector<std::pair<ui::Rect, ui::Rect>> found;
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        for (std::size_t j = i + 2; j < glyphs.size(); ++j)
            if (overlap(glyphs[i], glyphs[j], 1.0f)) found.emplace_back(glyphs[i], glyphs[j]);
    return found;
}

// A session of many bars, so that the roll's last bars carry four-digit numbers.
Pattern longPattern(const Pattern& from) {
    Pattern p = from;
    p.bars.resize(1200, p.bars.front());
    p.kicks.resize(1200, p.kicks.front());
    return p;
}

// Scrolls the roll to its last bar with the wheel, when the roll is in view.
void scrollRollToEnd(testing::EditorTab& tab) {
    std::optional<ImVec2> over;
    {
        const ui::ContextScope scope(tab.frames.ui);
        for (const ImGuiWindow* window : GImGui->Windows) {
            const ImRect& clip = window->InnerClipRect;
            if (window->Active && std::string(window->Name).find("/rows_") != std::string::npos &&
                clip.GetHeight() > 4.0f && clip.GetWidth() > 4.0f)
                over = clip.GetCenter();
        }
    }
    if (!over) return;
    ui::testing::WidgetInput wheel = ui::testing::pointer(std::floor(over->x), std::floor(over->y));
    wheel.wheel = -100000.0f;
    tab.frames.frame(tab.editor, wheel);
    tab.frames.frame(tab.editor, ui::testing::pointer(std::floor(over->x), std::floor(over->y)));
}

// The voice strip as drawn: its title, its four plots and the Legato switch, and the top of the
// plots, under the graphs' titles and values.
struct VoiceStrip {
    ui::Rect drawn;
    float plotsTop = 0.0f;
};
std::optional<VoiceStrip> voiceDrawn(testing::EditorTab& tab) {
    const std::vector<ui::Rect> plots = tab.boxes(0xB30D1108, tab.editor.voiceStripRect);
    const std::optional<ui::Rect> title = tab.frames.findText("VOICE");
    const std::optional<ui::Rect> legato = tab.frames.findText("Legato");
    if (plots.size() != 4 || !title || !legato) return std::nullopt;
    std::optional<ui::Rect> voice;
    for (const ui::Rect& r : {*title, *legato, plots[0], plots[1], plots[2], plots[3]}) voice = unite(voice, r);
    return VoiceStrip{*voice, plots[0].y};
}

// Heights of the window in logical px: down to the smallest the window allows, 360, then shorter, as
// only a screen smaller than that makes it (270 is a 1080-pixel screen at 400 %). Whether the render
// strip still shows (whole, or not at all) and the voice strip is still whole.
struct Height {
    float logical;
    bool renderStrip = true, voiceWhole = true;
};
// clang-format off
constexpr Height kHeights[] = {{1000}, {800}, {640}, {600}, {580}, {560}, {530}, {508}, {480}, {440}, {400}, {360},
                               {320, false}, {300, false}, {270, false, false}};
// clang-format on

TEST(EditorSizes, StripsStayWholeAndInReachUnderACanvasThatGivesWayAndNoTextCoversAnother) {
    for (const std::uint32_t tabIndex : {0u, 1u, 2u, 3u}) {
        for (const float scale : {1.0f, 1.5f, 2.0f, 4.0f}) {
            testing::EditorTab tab(tabIndex, 900.0f * scale, 1000.0f * scale);
            ui::setDisplayScale(tab.frames.ui, scale);
            tab.editor.pattern = longPattern(tab.editor.pattern);
            tab.editor.patternDrives = true;
            tab.editor.dirty = true;
            tab.run();
            // The strips as drawn in a tall, wide window: their titles and values whole.
            const std::optional<ui::Rect> renderAtTallest = tab.frames.findText("Render");
            const std::optional<VoiceStrip> voiceAtTallest = voiceDrawn(tab);
            ASSERT_TRUE(renderAtTallest && voiceAtTallest);
            std::set<std::u32string> wholeTexts;
            for (const EditorFrames::TextRun& run : tab.frames.textRuns())
                if (within(run.box, tab.editor.voiceStripRect)) wholeTexts.insert(run.text);
            for (const char* title : {"Punch", "Shape", "Glide", "Spread"})
                ASSERT_EQ(wholeTexts.count(EditorFrames::runText(title)), 1u);

            for (const float width : {900.0f, 480.0f}) {
                for (const Height& height : kHeights) {
                    const std::string where = "tab " + std::to_string(tabIndex) + " at " +
                                              std::to_string(static_cast<int>(scale * 100)) + " %, " +
                                              std::to_string(static_cast<int>(width)) + " x " +
                                              std::to_string(static_cast<int>(height.logical)) + ": ";
                    tab.frames.display = ImVec2(width * scale, height.logical * scale);
                    const ui::Rect window{0.0f, 0.0f, tab.frames.display.x, tab.frames.display.y};
                    for (int i = 0; i < 3; ++i) tab.frames.frame(tab.editor, testing::at(ImVec2(-1, -1)));
                    if (tabIndex == 3) scrollRollToEnd(tab);

                    const std::optional<VoiceStrip> voice = voiceDrawn(tab);
                    const std::optional<ui::Rect> legato = tab.frames.findText("Legato");
                    const std::optional<ui::Rect> render = tab.frames.findText("Render");
                    ASSERT_TRUE(voice && legato) << where << "the voice strip's texts";
                    if (height.voiceWhole) {
                        EXPECT_NEAR(voice->drawn.h, voiceAtTallest->drawn.h, 0.5f) << where << "the voice strip is cut";
                    }
                    EXPECT_TRUE(within(voice->drawn, window)) << where << "the voice strip leaves the window";
                    ASSERT_EQ(render.has_value(), height.renderStrip) << where << "the render button's label";
                    if (render) {
                        EXPECT_NEAR(render->h, renderAtTallest->h, 0.5f) << where << "the render button's label";
                        EXPECT_TRUE(within(*render, window)) << where << "the render strip leaves the window";
                        EXPECT_FALSE(overlap(voice->drawn, *render)) << where;
                    }
                    if (const std::optional<ui::Rect> canvas = canvasDrawn(tab.frames)) {
                        EXPECT_TRUE(within(*canvas, window)) << where << "the canvas leaves the window";
                        EXPECT_FALSE(overlap(*canvas, voice->drawn)) << where << "the canvas over the voice strip";
                        if (render) {
                            EXPECT_FALSE(overlap(*canvas, *render)) << where << "the canvas over the render strip";
                        }
                    }

                    // Each title and value of the voice strip whole or cut, never run into each other.
                    for (const EditorFrames::TextRun& run : tab.frames.textRuns()) {
                        if (!within(run.box, tab.editor.voiceStripRect) || run.box.y + run.box.h > voice->plotsTop)
                            continue;
                        EXPECT_TRUE(wholeOrCut(run.text, wholeTexts))
                            << where << "the voice strip shows " << std::string(run.text.begin(), run.text.end());
                    }
                    for (const auto& [a, b] : glyphsOverGlyphs(visibleGlyphs(tab.frames)))
                        ADD_FAILURE() << where << "letters at " << a.x << ", " << a.y << " and " << b.x << ", " << b.y
                                      << " drawn over each other";

                    const float legatoBefore = tab.editor.patch.legato;
                    tab.run(testing::click(testing::inside(*legato, 0.5f, 0.5f)));
                    EXPECT_NE(tab.editor.patch.legato, legatoBefore) << where << "the click missed the Legato switch";
                }
            }
        }
    }
}

}  // namespace
}  // namespace tarn
