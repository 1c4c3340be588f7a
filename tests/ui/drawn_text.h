// The text a frame drew, read back from its draw data: glyphs, and a text found by what it reads.
#pragma once

#include "ui/ui_context.h"
#include "ui/view.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace tarn::ui::testing {

// One glyph the last frame drew, and where.
struct DrawnGlyph {
    unsigned int codepoint = 0;
    ImVec2 min, max;
};

// The last frame's glyphs in drawing order: quads of four vertices whose texture corners are a
// glyph's, in any baked face. Inside a frame, where the last one's draw data is gone, the glyphs the
// windows have drawn so far.
inline std::vector<DrawnGlyph> drawnGlyphs(const UiContext& ui) {
    const ContextScope scope(ui);
    using Corners = std::tuple<float, float, float, float>;
    std::map<Corners, unsigned int> byCorners;
    for (const ImFont* font : ImGui::GetIO().Fonts->Fonts)
        for (const ImFontGlyph& g : font->Glyphs)
            if (g.Visible) byCorners[{g.U0, g.V0, g.U1, g.V1}] = g.Codepoint;
    std::vector<const ImDrawList*> lists;
    if (const ImDrawData* data = ImGui::GetDrawData()) {
        lists.assign(data->CmdLists, data->CmdLists + data->CmdListsCount);
    } else if (GImGui->WithinFrameScope) {
        for (const ImGuiWindow* window : GImGui->Windows)
            if (window->Active) lists.push_back(window->DrawList);
    }
    std::vector<DrawnGlyph> glyphs;
    for (const ImDrawList* list : lists) {
        const ImVector<ImDrawVert>& v = list->VtxBuffer;
        for (int i = 0; i + 3 < v.Size; ++i) {
            const auto found = byCorners.find({v[i].uv.x, v[i].uv.y, v[i + 2].uv.x, v[i + 2].uv.y});
            if (found == byCorners.end() || v[i + 1].uv.x != v[i + 2].uv.x || v[i + 3].uv.x != v[i].uv.x) continue;
            glyphs.push_back({found->second, v[i].pos, v[i + 2].pos});
            i += 3;
        }
    }
    return glyphs;
}

// A text as drawn: a run of glyphs one after another on one line, less than 8 px apart (blanks are
// not drawn), and its box.
struct DrawnText {
    std::u32string text;
    Rect box;
};

inline std::vector<DrawnText> drawnTexts(const UiContext& ui) {
    const std::vector<DrawnGlyph> g = drawnGlyphs(ui);
    std::vector<DrawnText> texts;
    for (std::size_t first = 0, end = 0; first < g.size(); first = end) {
        std::u32string run(1, static_cast<char32_t>(g[first].codepoint));
        ImVec4 box(g[first].min.x, g[first].min.y, g[first].max.x, g[first].max.y);
        for (end = first + 1; end < g.size() && g[end].min.x >= g[end - 1].min.x &&
                              g[end].min.x - g[end - 1].max.x < 8.0f * ui.displayScale &&
                              g[end].min.y < g[end - 1].max.y && g[end].max.y > g[end - 1].min.y;
             ++end) {
            run += static_cast<char32_t>(g[end].codepoint);
            box = ImVec4(box.x, std::min(box.y, g[end].min.y), g[end].max.x, std::max(box.w, g[end].max.y));
        }
        texts.push_back({run, Rect{box.x, box.y, box.z - box.x, box.w - box.y}});
    }
    return texts;
}

// UTF-8 text as drawn: its characters without the blanks.
inline std::u32string drawnForm(std::string_view text) {
    std::u32string out;
    for (const char* p = text.data(); p < text.data() + text.size();) {
        unsigned int c = 0;
        p += ImTextCharFromUtf8(&c, p, text.data() + text.size());
        if (c != ' ') out += static_cast<char32_t>(c);
    }
    return out;
}

// The box of a text in the last frame that reads exactly `text` (blanks aside), the first one drawn
// or a later one.
inline std::optional<Rect> findDrawnText(const UiContext& ui, std::string_view text, int occurrence = 0) {
    const std::u32string wanted = drawnForm(text);
    for (const DrawnText& t : drawnTexts(ui))
        if (t.text == wanted && occurrence-- == 0) return t.box;
    return std::nullopt;
}

// Whether some text of the last frame holds `part` (blanks aside).
inline bool drawsTextHolding(const UiContext& ui, std::string_view part) {
    const std::u32string wanted = drawnForm(part);
    for (const DrawnText& t : drawnTexts(ui))
        if (t.text.find(wanted) != std::u32string::npos) return true;
    return false;
}

}  // namespace tarn::ui::testing
