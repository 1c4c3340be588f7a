// The files built into the program: the five fonts and the skin tile, as read-only byte spans.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tarn::ui {

// Font data in the font index order of the text roles: 0 regular, 1 medium, 2 bold, 3 mono,
// 4 mono bold. Any other index gives an empty span.
std::span<const uint8_t> embeddedFont(int index);

// The family name that each embedded font is registered under; "" for any other index.
const char* embeddedFontName(int index);

// "tarn-skin.png": the 76 x 76 RGB background tile.
std::span<const uint8_t> embeddedSkinPng();

// The data a UI context is built from: the five fonts in index order and the skin PNG.
struct UiResources {
    std::array<std::span<const uint8_t>, 5> fonts;
    std::span<const uint8_t> skinPng;
};

// The embedded fonts and skin.
UiResources embeddedResources();

}  // namespace tarn::ui
