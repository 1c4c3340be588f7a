// The theme's style sizes and hover timing, the colour blend and colour conversions.
#include "ui/theme.h"

#include "ui/theme_colors.h"

#include <algorithm>

namespace tarn::ui {

uint32_t mixColor(uint32_t a, uint32_t b, float t) {
    const float k = std::clamp(t, 0.0f, 1.0f);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float ca = static_cast<float>((a >> shift) & 0xFFu);
        const float cb = static_cast<float>((b >> shift) & 0xFFu);
        const auto c = static_cast<uint32_t>(ca + (cb - ca) * k + 0.5f);
        out |= std::min(c, 255u) << shift;
    }
    return out;
}

ImVec4 toStyleColor(uint32_t argb) {
    auto channel = [argb](int shift) { return static_cast<float>((argb >> shift) & 0xFFu) / 255.0f; };
    return ImVec4(channel(16), channel(8), channel(0), channel(24));
}

void applyTheme(ImGuiStyle& style, compat::StyleExtras& extras) {
    style.WindowPadding = ImVec2(8.0f, 6.0f);
    style.WindowRounding = 0.0f;
    style.WindowBorderSize = 0.0f;
    style.ChildRounding = 8.0f;
    style.PopupRounding = 6.0f;
    style.PopupBorderSize = 1.0f;
    style.FramePadding = ImVec2(6.0f, 4.0f);
    style.FrameRounding = 4.0f;
    style.FrameBorderSize = 0.0f;
    style.ItemSpacing = ImVec2(8.0f, 4.0f);
    style.ItemInnerSpacing = ImVec2(4.0f, 4.0f);
    style.ScrollbarSize = 10.0f;
    style.ScrollbarRounding = 5.0f;
    style.GrabRounding = 4.0f;
    style.TabRounding = 4.0f;

    extras.hoverStationaryDelay = 0.1f;
    extras.hoverDelayNormal = 0.6f;
    extras.hoverFlagsForTooltipMouse =
        compat::HoveredStationary | compat::HoveredDelayNormal | ImGuiHoveredFlags_AllowWhenDisabled;

    for (const ThemeColor& entry : themeColors()) style.Colors[entry.index] = toStyleColor(entry.argb);
}

}  // namespace tarn::ui
