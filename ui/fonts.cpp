// Bakes the embedded fonts at the sizes of the text roles.
#include "ui/fonts.h"

#include "ui/embedded.h"

#include <span>
#include <stdexcept>
#include <string>

namespace tarn::ui {

namespace {

// Logical pixel sizes each family is set in by the text roles; the first is the family's own face.
// Any other size is served by the nearest larger face, or baked before the next frame when larger.
std::span<const float> roleSizes(int family) {
    static constexpr float regular[] = {12.0f, 10.0f, 11.0f, 22.0f};
    static constexpr float medium[] = {12.0f};
    static constexpr float bold[] = {14.0f};
    static constexpr float mono[] = {12.0f};
    static constexpr float monoBold[] = {12.0f, 20.0f};
    switch (family) {
        case 0:
            return regular;
        case 1:
            return medium;
        case 2:
            return bold;
        case 3:
            return mono;
        default:
            return monoBold;
    }
}

}  // namespace

Fonts loadFonts(ImFontAtlas* atlas, compat::CompatState& state, float displayScale, const UiResources& resources) {
    Fonts fonts;
    compat::setFontFamilies(state, resources.fonts);
    for (int family = 0; family < fontCount; ++family) {
        const char* name = embeddedFontName(family);
        auto bake = [&](float pixelSize) {
            ImFont* font =
                compat::bakeFace(atlas, state, family, resources.fonts[static_cast<size_t>(family)], name, pixelSize);
            if (font == nullptr)
                throw std::runtime_error(std::string("tarn-ui: embedded font failed to load: ") + name);
            return font;
        };
        for (float size : roleSizes(family)) {
            ImFont* font = bake(size * displayScale);
            if (fonts.byIndex[static_cast<size_t>(family)] == nullptr)
                fonts.byIndex[static_cast<size_t>(family)] = font;
        }
        for (const auto& [extraFamily, pixelSize] : state.extraSizes) {
            if (extraFamily == family) bake(pixelSize);
        }
    }
    return fonts;
}

}  // namespace tarn::ui
