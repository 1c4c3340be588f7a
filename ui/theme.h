// The theme's palette and Dear ImGui style, and the colour blend shared by the toolkit's drawing.
#pragma once

#include "ui/imgui_compat.h"

#include <imgui.h>

#include <cstdint>

namespace tarn::ui {

// The palette of the widgets and the theme, 0xAARRGGBB.
namespace palette {
inline constexpr uint32_t frame = 0xFF202C19;
inline constexpr uint32_t border = 0xFF2A3520;
inline constexpr uint32_t button = 0xFF25331A;
inline constexpr uint32_t text = 0xFFF0EED8;
inline constexpr uint32_t accent = 0xFF8DC63F;
inline constexpr uint32_t accentDim = 0xFF5A8A1A;
inline constexpr uint32_t alert = 0xFFC84830;
inline constexpr uint32_t mutedText = 0xFF8A8870;
}  // namespace palette

// Per channel (all four bytes) a + (b - a) x clamp(t, 0, 1), rounded half up. Works in either byte order.
uint32_t mixColor(uint32_t a, uint32_t b, float t);

// 0xAARRGGBB to Dear ImGui's packed 0xAABBGGRR: red and blue swap places.
constexpr ImU32 toImColor(uint32_t argb) {
    return (argb & 0xFF00FF00u) | ((argb & 0x00FF0000u) >> 16) | ((argb & 0x000000FFu) << 16);
}

// 0xAARRGGBB to the style's float colour (each channel byte / 255).
ImVec4 toStyleColor(uint32_t argb);

// Sets the theme's sizes and colours on `style` (lengths in logical pixels, scaled afterwards), and the
// hover timing that 1.86 keeps outside the style. Colours the theme does not name keep their values.
void applyTheme(ImGuiStyle& style, compat::StyleExtras& extras);

}  // namespace tarn::ui
