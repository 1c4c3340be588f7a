// Builds the skin tile and the shadow mask for the font atlas, and finds the skin's coordinates.
#include "ui/theme_images.h"

#include "ui/ui_context.h"

#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace tarn::ui {

std::array<uint8_t, shadowMaskSize * shadowMaskSize> shadowMask() {
    constexpr int n = shadowMaskSize;
    std::array<float, n * n> shape{};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const float cx = static_cast<float>(x) + 0.5f;
            const float cy = static_cast<float>(y) + 0.5f;
            const float dx = cx - std::clamp(cx, 20.0f, 24.0f);
            const float dy = cy - std::clamp(cy, 20.0f, 24.0f);
            const float d = std::hypot(dx, dy);
            shape[static_cast<size_t>(y * n + x)] = std::clamp(0.5f - (d - 8.0f), 0.0f, 1.0f);
        }
    }

    constexpr int radius = 9;  // ceil(9.0): sigma 3, weight exp(-k^2 / 18)
    std::array<float, 2 * radius + 1> kernel{};
    float sum = 0.0f;
    for (int k = -radius; k <= radius; ++k) {
        kernel[static_cast<size_t>(k + radius)] = std::exp(-static_cast<float>(k * k) / 18.0f);
        sum += kernel[static_cast<size_t>(k + radius)];
    }
    for (float& w : kernel) w /= sum;

    // Taps outside the image are skipped without renormalising, so the blur fades at the rim.
    std::array<float, n * n> horizontal{};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float acc = 0.0f;
            for (int k = -radius; k <= radius; ++k) {
                const int sx = x + k;
                if (sx >= 0 && sx < n)
                    acc += kernel[static_cast<size_t>(k + radius)] * shape[static_cast<size_t>(y * n + sx)];
            }
            horizontal[static_cast<size_t>(y * n + x)] = acc;
        }
    }
    std::array<uint8_t, n * n> mask{};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float acc = 0.0f;
            for (int k = -radius; k <= radius; ++k) {
                const int sy = y + k;
                if (sy >= 0 && sy < n)
                    acc += kernel[static_cast<size_t>(k + radius)] * horizontal[static_cast<size_t>(sy * n + x)];
            }
            mask[static_cast<size_t>(y * n + x)] =
                static_cast<uint8_t>(std::lround(std::clamp(acc, 0.0f, 1.0f) * 255.0f));
        }
    }
    return mask;
}

std::vector<uint8_t> withWrappedBorder(std::span<const uint8_t> pixels, int w, int h) {
    const int outW = w + 2;
    std::vector<uint8_t> out(static_cast<size_t>(outW) * static_cast<size_t>(h + 2) * 4);
    for (int ty = -1; ty <= h; ++ty) {
        for (int tx = -1; tx <= w; ++tx) {
            const int sx = (tx + w) % w;
            const int sy = (ty + h) % h;
            const uint8_t* src = pixels.data() + (static_cast<size_t>(sy) * w + sx) * 4;
            uint8_t* dst = out.data() + (static_cast<size_t>(ty + 1) * outW + (tx + 1)) * 4;
            std::copy(src, src + 4, dst);
        }
    }
    return out;
}

ThemeImageIds loadThemeImages(compat::CompatState& state, std::span<const uint8_t> png) {
    int w = 0;
    int h = 0;
    int channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> decoded(
        stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &channels, 4), stbi_image_free);
    if (decoded == nullptr || w <= 0 || h <= 0) {
        throw std::runtime_error("tarn-ui: embedded tarn-skin.png failed to decode");
    }
    std::vector<uint8_t> skin =
        withWrappedBorder({decoded.get(), static_cast<size_t>(w) * static_cast<size_t>(h) * 4}, w, h);
    decoded.reset();

    const auto mask = shadowMask();
    std::vector<uint8_t> shadow(mask.size() * 4, 0);
    for (size_t i = 0; i < mask.size(); ++i) shadow[i * 4 + 3] = mask[i];  // black, alpha = mask

    ThemeImageIds handles;
    handles.skin = compat::addImage(state, w + 2, h + 2, std::move(skin));
    handles.shadow = compat::addImage(state, shadowMaskSize, shadowMaskSize, std::move(shadow));
    return handles;
}

void skinUv(ImVec2& uv0, ImVec2& uv1) {
    const UiContext& ui = UiContext::current();
    ImVec2 a;
    ImVec2 b;
    if (!compat::customRectUv(ui.themeImages.skin, a, b)) {
        uv0 = uv1 = ImGui::GetIO().Fonts->TexUvWhitePixel;
        return;
    }
    const ImFontAtlasCustomRect* rect = ImGui::GetIO().Fonts->GetCustomRectByIndex(ui.themeImages.skin);
    const ImVec2 texel((b.x - a.x) / static_cast<float>(rect->Width), (b.y - a.y) / static_cast<float>(rect->Height));
    uv0 = ImVec2(a.x + texel.x, a.y + texel.y);
    uv1 = ImVec2(b.x - texel.x, b.y - texel.y);
}

}  // namespace tarn::ui
