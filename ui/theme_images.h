// The theme's two atlas images: the skin tile with its wrapped border, and the soft shadow mask.
#pragma once

#include "ui/imgui_compat.h"

#include <imgui.h>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tarn::ui {

inline constexpr int shadowMaskSize = 44;

// Custom-rectangle ids in the font atlas (-1: not placed): the skin first, then the shadow mask.
struct ThemeImageIds {
    int skin = -1;
    int shadow = -1;
};

// The 44 x 44 alpha mask of a rounded square (12..32, corner radius 8) blurred by a 19-tap Gaussian.
std::array<uint8_t, shadowMaskSize * shadowMaskSize> shadowMask();

// RGBA `pixels` of a w x h image, returned (w + 2) x (h + 2) with a one-pixel border that repeats the
// opposite edges, so bilinear sampling at the tile's edge reads its wrap-around neighbour.
std::vector<uint8_t> withWrappedBorder(std::span<const uint8_t> pixels, int w, int h);

// Decodes the skin PNG, computes the shadow mask and keeps both for the atlas; returns their
// image handles in the 1.86 layer (placed by the next atlas build). Throws std::runtime_error
// "tarn-ui: embedded tarn-skin.png failed to decode".
ThemeImageIds loadThemeImages(compat::CompatState& state, std::span<const uint8_t> skinPng);

// Texture coordinates of the skin inside its bordered rectangle (the border texel removed on each side).
void skinUv(ImVec2& uv0, ImVec2& uv1);

}  // namespace tarn::ui
