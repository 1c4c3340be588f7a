// Page tabs: measuring the tabs, sharing out a row too narrow for them, their buttons in a bar panel,
// and the selection.
#include "ui/page_tabs.h"

#include "ui/bar.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

// Logical px.
constexpr float kIconTab = 44.0f;
constexpr float kTitleMargins = 28.0f;
constexpr float kTitleInset = 6.0f;  // each side: what a title keeps clear of its tab's edges

bool hasIcon(std::span<const IconPainter> icons, size_t index) { return index < icons.size() && icons[index]; }

// A tab's width: natural, tight (the title whole within its insets) and narrowest (no narrower than an
// icon tab: a title then keeps a few letters and the ellipsis).
struct TabWidth {
    float natural;
    float tight;
    float narrowest;
};

std::vector<TabWidth> tabWidths(std::span<const std::string_view> titles, std::span<const IconPainter> icons) {
    const float s = scale();
    std::vector<TabWidth> widths;
    for (size_t i = 0; i < titles.size(); ++i) {
        if (hasIcon(icons, i)) {
            widths.push_back({kIconTab * s, kIconTab * s, kIconTab * s});
            continue;
        }
        const float title = measureText(titles[i], 2).x;
        const float tight = 2.0f * kTitleInset * s + title;
        widths.push_back({kTitleMargins * s + title, tight, std::min(tight, kIconTab * s)});
    }
    return widths;
}

float sum(const std::vector<TabWidth>& tabs, float TabWidth::*which) {
    float total = 0.0f;
    for (const TabWidth& t : tabs) total += t.*which;
    return total;
}

// The widths of the tabs that fit in `room`: all at their natural width when they can be; else with
// their margins narrowed evenly, titles whole; else the widest titles cut first, evenly; else as many
// tabs as fit at their narrowest, from the left.
std::vector<float> fitTabs(const std::vector<TabWidth>& tabs, float room) {
    std::vector<float> out;
    const float natural = sum(tabs, &TabWidth::natural);
    const float tight = sum(tabs, &TabWidth::tight);
    if (natural <= room || (tight <= room && natural > tight)) {
        const float f = natural <= room ? 1.0f : (room - tight) / (natural - tight);
        for (const TabWidth& t : tabs) out.push_back(t.tight + (t.natural - t.tight) * f);
        return out;
    }
    if (sum(tabs, &TabWidth::narrowest) <= room) {
        // The largest cap on the widths that fits, found by halving.
        const auto capped = [&](float cap) {
            float total = 0.0f;
            for (const TabWidth& t : tabs) total += std::clamp(cap, t.narrowest, t.tight);
            return total;
        };
        float low = 0.0f;
        float high = tight;
        for (int step = 0; step < 40; ++step) {
            const float mid = 0.5f * (low + high);
            (capped(mid) <= room ? low : high) = mid;
        }
        for (const TabWidth& t : tabs) out.push_back(std::clamp(low, t.narrowest, t.tight));
        return out;
    }
    float used = 0.0f;
    for (const TabWidth& t : tabs) {
        if (used + t.narrowest > room) break;
        out.push_back(t.narrowest);
        used += t.narrowest;
    }
    return out;
}

}  // namespace

float pageTabsNarrowest(std::span<const std::string_view> titles, std::span<const IconPainter> icons,
                        bool wholeTitles) {
    if (titles.empty()) return 0.0f;
    return 2.0f * barPadding() + sum(tabWidths(titles, icons), wholeTitles ? &TabWidth::tight : &TabWidth::narrowest);
}

ImVec2 pageTabsSize(std::span<const std::string_view> titles, std::span<const IconPainter> icons) {
    return ImVec2(2.0f * barPadding() + sum(tabWidths(titles, icons), &TabWidth::natural), 32.0f * scale());
}

bool pageTabs(const char* id, const Rect& r, std::span<const std::string_view> titles, int& selected,
              std::span<const IconPainter> icons) {
    const float pad = barPadding();
    const std::vector<float> widths = fitTabs(tabWidths(titles, icons), std::max(r.w, 0.0f) - 2.0f * pad);
    if (widths.empty()) return false;
    float shownWidth = 2.0f * pad;
    for (float w : widths) shownWidth += w;
    const Rect row = barRow(r, shownWidth);
    const RectClip clip(r);
    ImDrawList* list = ImGui::GetWindowDrawList();
    barPanel(list, row);
    ImGui::PushID(id);
    const float s = scale();
    const float top = row.y + pad;
    const float height = std::max(row.h - 2.0f * pad, 0.0f);
    float x = row.x + pad;
    bool changed = false;
    for (size_t i = 0; i < widths.size(); ++i) {
        const Rect tab{x, top, widths[i], height};
        x += tab.w;
        const bool active = static_cast<int>(i) == selected;
        const bool icon = hasIcon(icons, i);
        const Rect titleBox{tab.x + kTitleInset * s, tab.y, std::max(tab.w - 2.0f * kTitleInset * s, 0.0f), tab.h};
        // The title as a tooltip where the tab does not show it whole.
        const bool cut = !icon && fitText(titles[i], 2, titleBox.w).ellipsis;
        const std::string tip = icon || cut ? std::string(titles[i]) : std::string();
        ImGui::PushID(static_cast<int>(i));
        const BarButton button = barIconButton("page", tab, active, tip.empty() ? nullptr : tip.c_str());
        ImGui::PopID();
        if (button.clicked && !active) {
            selected = static_cast<int>(i);
            changed = true;
        }
        const uint32_t colour = barIconColour(button, active);
        if (icon) {
            icons[i](list, centredSquare(tab, 18.0f * s), toImColor(colour));
        } else {
            drawText(list, titleBox, titles[i], 2, colour, 1);
        }
    }
    ImGui::PopID();
    return changed;
}

}  // namespace tarn::ui
