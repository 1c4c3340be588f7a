// The five embedded fonts, loaded into the font atlas at the text roles' sizes.
#pragma once

#include "ui/embedded.h"
#include "ui/imgui_compat.h"

#include <imgui.h>

#include <array>

namespace tarn::ui {

inline constexpr int fontCount = 5;

// One font per index: 0 regular, 1 medium, 2 bold, 3 mono, 4 mono bold. Each pointer stands for its
// whole family: compat::pushFont and compat::faceFor pick the face baked at the size asked for.
struct Fonts {
    std::array<ImFont*, fontCount> byIndex{};
    ImFont* operator[](int index) const { return byIndex[static_cast<size_t>(index)]; }
};

// Adds every face the text roles use, baked at `displayScale` (1.86 has no sizes on demand) with the
// characters text has asked for so far; the first face of each family is the one returned. Throws
// std::runtime_error "tarn-ui: embedded font failed to load: <family name>".
Fonts loadFonts(ImFontAtlas* atlas, compat::CompatState& state, float displayScale, const UiResources& resources);

}  // namespace tarn::ui
