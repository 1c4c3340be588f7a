// The segment control: cell sizes, per-cell interaction and the selected cell's colours.
#include "ui/segment_control.h"

#include "ui/draw.h"
#include "ui/interact.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>

namespace tarn::ui {
namespace {

constexpr float kIconBox = 20.0f;
constexpr float kIconGap = 4.0f;

}  // namespace

ImVec2 segmentedSize(std::span<const std::string_view> labels, const SegmentedStyle& style) {
    const float s = scale();
    const TextRole role = style.compact ? 1 : 2;
    float widest = 0.0f;
    for (std::string_view label : labels) widest = std::max(widest, measureText(label, role).x);
    ImVec2 cell(widest + (style.compact ? 20.0f : 28.0f) * s, (style.compact ? 18.0f : 24.0f) * s);
    if (!style.icons.empty()) (style.vertical ? cell.y : cell.x) += (kIconBox + kIconGap) * s;
    const auto n = static_cast<float>(labels.size());
    return style.vertical ? ImVec2(cell.x, cell.y * n) : ImVec2(cell.x * n, cell.y);
}

bool segmented(const char* id, const Rect& hint, std::span<const std::string_view> labels, int* selected,
               const SegmentedStyle& style) {
    const LayoutItem item = placeItem(hint, style.width, segmentedSize(labels, style), style.alignX, 1);
    const Rect& r = item.rect;
    const float s = scale();
    ImDrawList* list = ImGui::GetWindowDrawList();
    const int firstVertex = list->VtxBuffer.Size;
    fillRoundRect(list, r, 0xFF202C19, 6.0f);
    strokeRoundRect(list, r, 0xFF2A3520, 6.0f, 1.0f);

    const int n = static_cast<int>(labels.size());
    const TextRole role = style.compact ? 1 : 2;
    bool changed = false;
    ImGui::PushID(id);
    for (int k = 0; k < n; ++k) {
        Rect cell = style.vertical ? Rect{r.x, r.y + r.h * k / n, r.w, r.h / n}
                                   : Rect{r.x + r.w * k / n, r.y, r.w / n, r.h};
        Interaction i;
        if (!style.disabled) {
            const char* tooltip = k < static_cast<int>(style.tooltips.size()) ? style.tooltips[k] : nullptr;
            ImGui::PushID(k);
            i = interact("segment", rectangleHotspot(cell, ImGuiMouseCursor_Hand, tooltip));
            ImGui::PopID();
        }
        if (i.clicked && i.hovered && *selected != k) {
            *selected = k;
            changed = true;
        }
        const bool isSelected = *selected == k;
        if (isSelected) {
            fillRoundRect(list, cell, 0xFF3E5827, 6.0f);
        } else if (i.hovered) {
            fillRoundRect(list, cell, 0x992F4121, 6.0f);
        }
        const uint32_t text = isSelected ? 0xFF8DC63F : i.hovered ? 0xFFF0EED8 : 0xFF8A8870;
        Rect labelBox = cell;
        if (!style.icons.empty()) {
            const float box = kIconBox * s;
            const float step = (kIconBox + kIconGap) * s;
            Rect iconBox;
            if (style.vertical) {
                iconBox = Rect{cell.x + (cell.w - box) * 0.5f, cell.y + kIconGap * s, box, box};
                labelBox = Rect{cell.x, cell.y + step, cell.w, std::max(cell.h - step, 0.0f)};
            } else {
                iconBox = Rect{cell.x + kIconGap * s, cell.y + (cell.h - box) * 0.5f, box, box};
                labelBox = Rect{cell.x + step, cell.y, std::max(cell.w - step, 0.0f), cell.h};
            }
            if (k < static_cast<int>(style.icons.size()) && style.icons[k]) style.icons[k](list, iconBox, toImColor(text));
        }
        drawText(list, labelBox, labels[k], role, text, 1);
    }
    ImGui::PopID();
    if (style.disabled) fadeVertices(list, firstVertex, 0.5f);
    endItem(item);
    return changed;
}

}  // namespace tarn::ui
