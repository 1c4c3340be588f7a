// Page tabs: a bar of flat buttons, one per page, of which one is selected.
#pragma once

#include "ui/button.h"
#include "ui/view.h"

#include <imgui.h>

#include <span>
#include <string_view>

namespace tarn::ui {

// Tabs in a bar at r's left. A tab with a (non-empty) icon shows it with its title as the tooltip,
// the others show their title. In a row narrower than pageTabsSize the tabs' margins narrow first; then
// the widest titles are cut with an ellipsis (the tooltip then holds the title); tabs that still do not
// fit are left out from the right. True when a click selected another tab; nothing when titles is empty.
bool pageTabs(const char* id, const Rect& r, std::span<const std::string_view> titles, int& selected,
              std::span<const IconPainter> icons);
ImVec2 pageTabsSize(std::span<const std::string_view> titles, std::span<const IconPainter> icons);
// The narrowest row that holds every tab, with whole titles or with titles cut to a few letters.
float pageTabsNarrowest(std::span<const std::string_view> titles, std::span<const IconPainter> icons, bool wholeTitles);

}  // namespace tarn::ui
