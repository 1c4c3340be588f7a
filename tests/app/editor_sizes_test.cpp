// The editor in short and narrow windows at every UI size: the canvas keeps room to edit, the blocks
// under the header stand on a page that scrolls where they do not fit, every block is in reach, and no
// text runs across the border of its box or over another.
#include "app/editor.h"
#include "tests/app/panel_frames.h"

#include <gtest/gtest.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cmath>
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
// a text scrolled out of its window is not seen. Those cut through at the left or right edge of their
// rectangle, which nothing in the editor scrolls sideways, go to `cut`.
std::vector<ui::Rect> visibleGlyphs(const EditorFrames& frames, std::vector<ui::Rect>* cut = nullptr) {
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
                // A glyph's quad has a pixel of empty border around its letter.
                const float slack = 1.5f * frames.ui.displayScale;
                if (cut != nullptr && x1 > x0 && y1 > y0 &&
                    (v[i].pos.x < cmd.ClipRect.x - slack || v[i + 2].pos.x > cmd.ClipRect.z + slack))
                    cut->push_back({v[i].pos.x, v[i].pos.y, v[i + 2].pos.x - v[i].pos.x, v[i + 2].pos.y - v[i].pos.y});
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

// The voice strip as drawn: its title where it has one, its four plots and the Legato switch, and the
// top of the plots, under the graphs' titles and values.
struct VoiceStrip {
    ui::Rect drawn;
    float plotsTop = 0.0f;
};
std::optional<VoiceStrip> voiceDrawn(testing::EditorTab& tab) {
    const std::vector<ui::Rect> plots = tab.boxes(0xB30D1108, tab.editor.voiceStripRect);
    const std::optional<ui::Rect> legato = tab.frames.findText("Legato");
    if (plots.size() != 4 || !legato) return std::nullopt;
    std::optional<ui::Rect> voice = tab.frames.findText("VOICE");
    for (const ui::Rect& r : {*legato, plots[0], plots[1], plots[2], plots[3]}) voice = unite(voice, r);
    return VoiceStrip{*voice, plots[0].y};
}

// Window sizes in logical px: the short screens people use (1366 x 768 and 1920 x 1080 at their desktop
// scales), the program's own, and others down to the least the window allows, 480 x 360, and below, as
// only a screen smaller than that makes it (270 is a 1080-pixel screen at 400 %).
const ImVec2 kSizes[] = {{900, 512}, {900, 540}, {960, 540}, {607, 341}, {480, 360}, {900, 950}, {900, 1000},
                         {900, 640}, {900, 440}, {900, 300}, {480, 950}, {480, 512}, {480, 270}};

// Turns the wheel over the page at height y, beside the canvas's panel: notches up, or down when negative.
void turnWheel(testing::EditorTab& tab, float y, float notches) {
    ui::testing::WidgetInput wheel =
        ui::testing::pointer(std::floor(tab.editor.canvasRect.x + 4.0f * tab.frames.ui.displayScale), std::floor(y));
    wheel.wheel = notches;
    tab.frames.frame(tab.editor, wheel);
}

TEST(EditorSizes, TheCanvasKeepsRoomTheBlocksAreInReachOnTheirPageAndNoTextCrossesItsBorder) {
    for (const std::uint32_t tabIndex : {0u, 1u, 2u, 3u}) {
        for (const float scale : {1.0f, 1.5f, 2.0f, 4.0f}) {
            testing::EditorTab tab(tabIndex, 900.0f * scale, 1000.0f * scale);
            ui::setDisplayScale(tab.frames.ui, scale);
            Editor& editor = tab.editor;
            editor.pattern = longPattern(editor.pattern);
            editor.patternDrives = true;
            editor.dirty = true;
            tab.run();
            // The voice strip as drawn in a tall, wide window: its titles and values whole.
            std::set<std::u32string> wholeTexts;
            for (const EditorFrames::TextRun& run : tab.frames.textRuns())
                if (within(run.box, editor.voiceStripRect)) wholeTexts.insert(run.text);
            for (const char* title : {"Punch", "Shape", "Glide", "Spread"})
                ASSERT_EQ(wholeTexts.count(EditorFrames::runText(title)), 1u);

            for (const ImVec2 size : kSizes) {
                const std::string where = "tab " + std::to_string(tabIndex) + " at " +
                                          std::to_string(static_cast<int>(scale * 100)) + " %, " +
                                          std::to_string(static_cast<int>(size.x)) + " x " +
                                          std::to_string(static_cast<int>(size.y)) + ": ";
                tab.frames.display = ImVec2(size.x * scale, size.y * scale);
                for (int i = 0; i < 3; ++i) tab.frames.frame(editor, testing::at(ImVec2(-1, -1)));
                if (tabIndex == 3) scrollRollToEnd(tab);
                // What the window shows under the header: from the canvas's top with the page scrolled up.
                const float pageBottom = tab.frames.display.y - 25.0f * scale;
                turnWheel(tab, pageBottom - 4.0f * scale, 1e4f);
                const ui::Rect shown{0.0f, editor.canvasRect.y, tab.frames.display.x, pageBottom - editor.canvasRect.y};
                EXPECT_GE(editor.canvasRect.h, 200.0f * scale - 0.01f) << where << "the canvas";
                if (const std::optional<ui::Rect> canvas = canvasDrawn(tab.frames)) {
                    EXPECT_TRUE(within(*canvas, shown)) << where << "the canvas draws outside the page";
                }

                // Texts: none cut through at a side of its box, none over another, the prompt in the waveform.
                std::vector<ui::Rect> cut;
                for (const auto& [a, b] : glyphsOverGlyphs(visibleGlyphs(tab.frames, &cut)))
                    ADD_FAILURE() << where << "letters at " << a.x << ", " << a.y << " and " << b.x << ", " << b.y
                                  << " drawn over each other";
                for (const ui::Rect& g : cut)
                    ADD_FAILURE() << where << "a letter at " << g.x << ", " << g.y << " cut at the side of its box";
                if (const std::optional<ui::Rect> prompt = tab.frames.findText("Render to hear the phrase")) {
                    EXPECT_TRUE(within(*prompt, editor.waveformRect)) << where << "the prompt leaves the waveform";
                }

                // The page scrolled down: the voice strip's foot shows, its titles and values whole or cut
                // with an ellipsis, and its switch answers.
                turnWheel(tab, pageBottom - 4.0f * scale, -1e4f);
                const std::optional<VoiceStrip> voice = voiceDrawn(tab);
                ASSERT_TRUE(voice) << where << "the voice strip";
                const float foot = voice->drawn.y + voice->drawn.h;
                EXPECT_TRUE(foot > shown.y && foot <= shown.y + shown.h + 0.5f) << where << "the voice strip's foot";
                for (const EditorFrames::TextRun& run : tab.frames.textRuns()) {
                    if (!within(run.box, editor.voiceStripRect) || !within(run.box, shown) ||
                        run.box.y + run.box.h > voice->plotsTop)
                        continue;
                    EXPECT_TRUE(wholeOrCut(run.text, wholeTexts))
                        << where << "the voice strip shows " << std::string(run.text.begin(), run.text.end());
                }
                const std::optional<ui::Rect> legato = tab.frames.findText("Legato");
                ASSERT_TRUE(legato) << where << "the Legato switch";
                const float legatoBefore = editor.patch.legato;
                tab.run(testing::click(testing::inside(*legato, 0.5f, 0.5f)));
                EXPECT_NE(editor.patch.legato, legatoBefore) << where << "the click missed the Legato switch";
                // And notch by notch back up to the render strip, whole on the page.
                for (int turn = 0; turn < 100 && !within(editor.renderStripRect, shown); ++turn)
                    turnWheel(tab, shown.y + shown.h * 0.5f, 1.0f);
                const std::optional<ui::Rect> render = tab.frames.findText("Render");
                EXPECT_TRUE(render && within(*render, editor.renderStripRect) && within(*render, shown))
                    << where << "the render button out of reach";
            }
        }
    }
}

}  // namespace
}  // namespace tarn
