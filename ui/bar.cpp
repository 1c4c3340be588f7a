// The bar panel, its rows and its flat icon buttons.
#include "ui/bar.h"

#include "ui/interact.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <cmath>

namespace tarn::ui {
namespace {

void fillPill(ImDrawList* list, const Rect& r, uint32_t colour) {
    list->AddRectFilled(ImVec2(r.x, r.y), ImVec2(r.x + r.w, r.y + r.h), toImColor(colour), r.h * 0.5f);
}

}  // namespace

uint32_t barAccent() { return 0x8C5A8A1A; }

float barPadding() { return 3.0f * scale(); }

void barPanel(ImDrawList* list, const Rect& r) {
    fillPill(list, r, 0xFF202C19);
    list->AddRect(ImVec2(r.x, r.y), ImVec2(r.x + r.w, r.y + r.h), toImColor(barAccent()), r.h * 0.5f, ImDrawFlags_None,
                  1.0f * scale());
}

Rect barRow(const Rect& r, float width) {
    const float w = std::max(std::min(r.w, width), 0.0f);
    const float h = std::max(std::min(32.0f * scale(), r.h), 0.0f);
    return Rect{r.x, r.y + (r.h - h) * 0.5f, w, h};
}

BarButton barIconButton(const char* id, const Rect& r, bool active, const char* tooltip) {
    const Interaction i = interact(id, rectangleHotspot(r, ImGuiMouseCursor_Hand, tooltip));
    const BarButton button{i.clicked && i.hovered, i.hovered, i.held};
    if (active || i.hovered || i.held) fillPill(ImGui::GetWindowDrawList(), r, active ? 0xFF3E5827 : 0x992F4121);
    return button;
}

uint32_t barIconColour(const BarButton& button, bool active) {
    if (active) return palette::accent;
    return button.hovered ? palette::text : palette::mutedText;
}

Rect CellCutter::take(float w, float gap) {
    w = std::max(w, 0.0f);
    const Rect cell{x, y, std::clamp(right - x, 0.0f, w), h};
    x = std::min(x + w + gap, std::max(right, x));
    return cell;
}

RectClip::RectClip(const Rect& r) {
    const float edge = 1.0f * scale();
    const float w = std::max(r.w, 0.0f);
    const float h = std::max(r.h, 0.0f);
    ImGui::PushClipRect(ImVec2(r.x - edge, r.y - edge), ImVec2(r.x + w + edge, r.y + h + edge), true);
}

RectClip::~RectClip() { ImGui::PopClipRect(); }

Rect centredSquare(const Rect& r, float side) {
    side = std::max(side, 0.0f);
    return Rect{std::round(r.x + (r.w - side) * 0.5f), std::round(r.y + (r.h - side) * 0.5f), side, side};
}

}  // namespace tarn::ui
