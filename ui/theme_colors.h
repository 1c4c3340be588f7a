// The theme's table of Dear ImGui colour entries.
#pragma once

#include <imgui.h>

#include <cstdint>
#include <span>

namespace tarn::ui {

struct ThemeColor {
    ImGuiCol index;
    uint32_t argb;  // 0xAARRGGBB
};

// Every colour entry the theme sets; the others keep the library's dark defaults.
std::span<const ThemeColor> themeColors();

}  // namespace tarn::ui
