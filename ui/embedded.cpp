// Spans over the fonts and images that the build assembles into read-only data.
#include "ui/embedded.h"

extern "C" {
extern const uint8_t tarn_font_inter_regular_begin[], tarn_font_inter_regular_end[];
extern const uint8_t tarn_font_inter_medium_begin[], tarn_font_inter_medium_end[];
extern const uint8_t tarn_font_inter_bold_begin[], tarn_font_inter_bold_end[];
extern const uint8_t tarn_font_mono_begin[], tarn_font_mono_end[];
extern const uint8_t tarn_font_mono_bold_begin[], tarn_font_mono_bold_end[];
extern const uint8_t tarn_skin_png_begin[], tarn_skin_png_end[];
}

namespace tarn::ui {

namespace {

std::span<const uint8_t> between(const uint8_t* begin, const uint8_t* end) {
    return {begin, static_cast<size_t>(end - begin)};
}

}  // namespace

std::span<const uint8_t> embeddedFont(int index) {
    switch (index) {
        case 0:
            return between(tarn_font_inter_regular_begin, tarn_font_inter_regular_end);
        case 1:
            return between(tarn_font_inter_medium_begin, tarn_font_inter_medium_end);
        case 2:
            return between(tarn_font_inter_bold_begin, tarn_font_inter_bold_end);
        case 3:
            return between(tarn_font_mono_begin, tarn_font_mono_end);
        case 4:
            return between(tarn_font_mono_bold_begin, tarn_font_mono_bold_end);
        default:
            return {};
    }
}

const char* embeddedFontName(int index) {
    switch (index) {
        case 0:
            return "Inter Regular";
        case 1:
            return "Inter Medium";
        case 2:
            return "Inter Bold";
        case 3:
            return "JetBrains Mono";
        case 4:
            return "JetBrains Mono Bold";
        default:
            return "";
    }
}

std::span<const uint8_t> embeddedSkinPng() { return between(tarn_skin_png_begin, tarn_skin_png_end); }

UiResources embeddedResources() {
    UiResources resources;
    for (int i = 0; i < 5; ++i) resources.fonts[static_cast<size_t>(i)] = embeddedFont(i);
    resources.skinPng = embeddedSkinPng();
    return resources;
}

}  // namespace tarn::ui
