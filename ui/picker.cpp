// The picker field with its chevron, and the popup list or list browser it opens.
#include "ui/picker.h"

#include "ui/draw.h"
#include "ui/imgui_compat.h"
#include "ui/interact.h"
#include "ui/list_browser.h"
#include "ui/popup.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>

namespace tarn::ui {
namespace {

constexpr uint32_t kAccent = 0xFF8DC63F;
constexpr float kListRowHeight = 20.0f;

void drawChevron(ImDrawList* list, const Rect& field, uint32_t colour) {
    const float s = scale();
    const float cx = field.x + field.w - 12.0f * s;
    const float cy = field.y + field.h * 0.5f;
    const ImVec2 points[] = {ImVec2(cx - 4.0f * s, cy - 2.0f * s), ImVec2(cx, cy + 2.0f * s), ImVec2(cx + 4.0f * s, cy - 2.0f * s)};
    drawPolyline(list, points, colour, 1.6f);
}

// The plain list: one selectable per item, 20 px high, the selected one in the accent colour.
std::optional<int> pickFromList(std::span<const std::string> items, int selected, const PickerStyle& style) {
    const float s = scale();
    std::optional<int> picked;
    const FontScope font(2);
    if (items.empty()) {
        ImGui::TextDisabled("%s", style.emptyText != nullptr ? style.emptyText : "");
        return picked;
    }
    for (size_t k = 0; k < items.size(); ++k) {
        const bool isSelected = static_cast<int>(k) == selected;
        if (isSelected) ImGui::PushStyleColor(ImGuiCol_Text, toImColor(kAccent));
        ImGui::PushID(static_cast<int>(k));
        compat::wantGlyphs(ImGui::GetFont(), items[k]);
        if (ImGui::Selectable(items[k].c_str(), false, 0, ImVec2(0.0f, kListRowHeight * s))) picked = static_cast<int>(k);
        ImGui::PopID();
        if (isSelected) ImGui::PopStyleColor();
    }
    return picked;
}

}  // namespace

bool picker(const char* id, const Rect& r, std::span<const std::string> items, int* selected, const PickerStyle& style) {
    const float s = scale();
    ImGui::PushID(id);
    const Interaction i = interact("field", rectangleHotspot(r));
    const char* popupId = style.browser ? "browser" : "list";
    if (i.clicked && i.hovered && !style.disabled) openPopup(popupId);

    ImDrawList* list = ImGui::GetWindowDrawList();
    fillRoundRect(list, r, i.hovered ? 0xFF2F4121 : 0xFF25331A, 6.0f);
    const bool inRange = *selected >= 0 && *selected < static_cast<int>(items.size());
    const std::string_view shown = inRange ? std::string_view(items[static_cast<size_t>(*selected)])
                                           : std::string_view(style.placeholder != nullptr ? style.placeholder : "");
    const uint32_t colour = i.hovered ? mixColor(kAccent, 0xFFFFFFFF, 0.2f) : kAccent;
    drawText(list, Rect{r.x + 8.0f * s, r.y, std::max(r.w - 30.0f * s, 0.0f), r.h}, shown, 2, colour, 0);
    drawChevron(list, r, colour);

    std::optional<int> picked;
    if (style.browser) {
        BrowserStyle browserStyle;
        browserStyle.showSearch = true;
        browserStyle.secondTexts = style.secondTexts;
        browserStyle.maxColumns = 3;
        browserStyle.width = 620.0f;
        browserStyle.maxHeight = 480.0f;
        picked = browser(popupId, r, items, style.categories, *selected, browserStyle);
    } else if (beginAnchoredPopup(popupId, r, ImVec2(std::max(r.w, 160.0f * s), 0.0f))) {
        picked = pickFromList(items, *selected, style);
        if (picked) ImGui::CloseCurrentPopup();
        endAnchoredPopup();
    }
    ImGui::PopID();
    if (!picked) return false;
    *selected = *picked;
    return true;
}

}  // namespace tarn::ui
