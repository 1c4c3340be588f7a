// Headless frames for the editor's panels: the canvas they sit in, mouse gestures, and finding what they drew.
#pragma once

#include "tests/ui/frame_input.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace tarn::testing {

using ui::testing::FrameInput;

inline FrameInput at(ImVec2 p, bool left = false) {
    FrameInput in;
    in.mouse = p;
    in.left = left;
    return in;
}
inline const FrameInput kAway = at(ImVec2(-1.0f, -1.0f));

// A press at `from` held along `path` and let go at its end, after a frame hovering `from`.
inline std::vector<FrameInput> drag(ImVec2 from, const std::vector<ImVec2>& path) {
    std::vector<FrameInput> frames = {at(from), at(from, true)};
    for (ImVec2 p : path) frames.push_back(at(p, true));
    frames.push_back(at(path.empty() ? from : path.back()));
    return frames;
}
inline std::vector<FrameInput> click(ImVec2 p) { return drag(p, {}); }
inline std::vector<FrameInput> doubleClick(ImVec2 p) { return {at(p), at(p, true), at(p), at(p, true), at(p)}; }

inline ImVec2 moved(ImVec2 p, float dx, float dy) { return ImVec2(p.x + dx, p.y + dy); }
// The pixel at fractions of a rectangle. The mouse moves by whole pixels, as Dear ImGui floors it.
inline ImVec2 inside(const ui::Rect& r, float fx, float fy) {
    return ImVec2(std::floor(r.x + fx * r.w), std::floor(r.y + fy * r.h));
}

// What a frame drew into the panel's window: vertices and triangles (as vertex numbers).
struct Drawn {
    std::vector<ImDrawVert> vertices;
    std::vector<unsigned> triangles;
};

// Runs frames of a panel, in a canvas like the editor's (text role 2 in a child window "canvas" over the
// rectangle) or straight in the frame's window. Each run starts with idle frames, so the windows exist
// to be hovered and no earlier click pairs with the run's own.
class PanelFrames {
public:
    explicit PanelFrames(ui::Rect canvas, bool inCanvas = true) : canvas_(canvas), inCanvas_(inCanvas) {}

    template <class Body>
    Drawn run(const std::vector<FrameInput>& frames, Body&& body) {
        Drawn drawn;
        for (int i = 0; i < 30 + static_cast<int>(frames.size()); ++i)
            ui::testing::runFrame(
                ui_, i < 30 ? kAway : frames[static_cast<std::size_t>(i - 30)], [&](ImDrawList*) { draw(drawn, body); },
                ImVec2(900.0f, 950.0f));
        return drawn;
    }

private:
    template <class Body>
    void draw(Drawn& drawn, Body& body) {
        const ui::FontScope font(2);
        if (inCanvas_) {
            ImGui::SetCursorScreenPos(ImVec2(canvas_.x, canvas_.y));
            ImGui::BeginChild("canvas", ImVec2(canvas_.w, canvas_.h), false, ImGuiWindowFlags_NoBackground);
        }
        body();
        const ImDrawList* list = ImGui::GetWindowDrawList();
        drawn.vertices.assign(list->VtxBuffer.begin(), list->VtxBuffer.end());
        drawn.triangles.clear();
        for (const ImDrawCmd& cmd : list->CmdBuffer)
            for (unsigned i = 0; i < cmd.ElemCount; ++i)
                drawn.triangles.push_back(cmd.VtxOffset + list->IdxBuffer[static_cast<int>(cmd.IdxOffset + i)]);
        if (inCanvas_) ImGui::EndChild();
    }

    ui::UiContext ui_;
    ui::Rect canvas_;
    bool inCanvas_;
};

// The shapes filled in one colour (0xAARRGGBB), as boxes top to bottom and left to right: triangles of
// the colour that share vertices make one shape. Fills keep their colour on vertices half a pixel inside
// their edge; the panels place them on whole pixels, so the edges are rounded back out.
inline std::vector<ui::Rect> boxesOfColour(const Drawn& drawn, std::uint32_t argb) {
    const ImU32 colour = ui::toImColor(argb);
    std::vector<unsigned> parent(drawn.vertices.size());
    for (unsigned i = 0; i < parent.size(); ++i) parent[i] = i;
    const auto root = [&](unsigned v) {
        while (parent[v] != v) v = parent[v] = parent[parent[v]];
        return v;
    };
    const auto coloured = [&](unsigned v) { return drawn.vertices[v].col == colour; };
    for (std::size_t t = 0; t + 2 < drawn.triangles.size(); t += 3) {
        const unsigned* tri = &drawn.triangles[t];
        if (coloured(tri[0]) && coloured(tri[1]) && coloured(tri[2]))
            parent[root(tri[1])] = parent[root(tri[2])] = root(tri[0]);
    }
    std::vector<std::pair<unsigned, ImVec4>> boxes;  // root, (min x, min y, max x, max y)
    for (unsigned v = 0; v < parent.size(); ++v) {
        if (!coloured(v)) continue;
        const ImVec2 p = drawn.vertices[v].pos;
        auto box = std::find_if(boxes.begin(), boxes.end(), [&](const auto& b) { return b.first == root(v); });
        if (box == boxes.end()) box = boxes.insert(boxes.end(), {root(v), ImVec4(p.x, p.y, p.x, p.y)});
        ImVec4& b = box->second;
        b = ImVec4(std::min(b.x, p.x), std::min(b.y, p.y), std::max(b.z, p.x), std::max(b.w, p.y));
    }
    std::vector<ui::Rect> out;
    for (const auto& [r, b] : boxes) {
        const float x = std::round(b.x - 0.5f), y = std::round(b.y - 0.5f);
        out.push_back({x, y, std::round(b.z + 0.5f) - x, std::round(b.w + 0.5f) - y});
    }
    std::sort(out.begin(), out.end(),
              [](const ui::Rect& a, const ui::Rect& b) { return std::fabs(a.y - b.y) > 4.0f ? a.y < b.y : a.x < b.x; });
    return out;
}

}  // namespace tarn::testing
