// Page tabs: measuring the tabs, their buttons in a bar panel, and the selection.
#include "ui/page_tabs.h"

#include "ui/bar.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>

namespace tarn::ui {
namespace {

bool hasIcon(std::span<const IconPainter> icons, size_t index) { return index < icons.size() && icons[index]; }

float tabWidth(std::span<const std::string_view> titles, std::span<const IconPainter> icons, size_t index) {
    const float s = scale();
    return hasIcon(icons, index) ? 44.0f * s : 28.0f * s + measureText(titles[index], 2).x;
}

}  // namespace

ImVec2 pageTabsSize(std::span<const std::string_view> titles, std::span<const IconPainter> icons) {
    const float s = scale();
    float width = 2.0f * barPadding();
    for (size_t i = 0; i < titles.size(); ++i) width += tabWidth(titles, icons, i);
    return ImVec2(width, 32.0f * s);
}

bool pageTabs(const char* id, const Rect& r, std::span<const std::string_view> titles, int& selected,
              std::span<const IconPainter> icons) {
    if (titles.empty()) return false;
    const Rect row = barRow(r, pageTabsSize(titles, icons).x);
    ImDrawList* list = ImGui::GetWindowDrawList();
    barPanel(list, row);
    ImGui::PushID(id);
    const float pad = barPadding();
    const float top = row.y + pad;
    const float height = std::max(row.h - 2.0f * pad, 0.0f);
    float x = row.x + pad;
    bool changed = false;
    for (size_t i = 0; i < titles.size(); ++i) {
        const Rect tab{x, top, tabWidth(titles, icons, i), height};
        x += tab.w;
        const bool active = static_cast<int>(i) == selected;
        const bool icon = hasIcon(icons, i);
        // The title as a tooltip only where the tab does not show it.
        const std::string tip = icon ? std::string(titles[i]) : std::string();
        ImGui::PushID(static_cast<int>(i));
        const BarButton button = barIconButton("page", tab, active, icon ? tip.c_str() : nullptr);
        ImGui::PopID();
        if (button.clicked && !active) {
            selected = static_cast<int>(i);
            changed = true;
        }
        const uint32_t colour = barIconColour(button, active);
        if (icon) {
            icons[i](list, centredSquare(tab, 18.0f * scale()), toImColor(colour));
        } else {
            drawText(list, tab, titles[i], 2, colour, 1);
        }
    }
    ImGui::PopID();
    return changed;
}

}  // namespace tarn::ui
