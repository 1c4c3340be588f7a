// The theme: colour blend, colour table against the library defaults, style sizes, shadow mask, skin tile.
#include "ui/theme.h"

#include "tests/ui/ui_test_frames.h"
#include "ui/embedded.h"
#include "ui/theme_colors.h"
#include "ui/theme_images.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

namespace tarn::ui {
namespace {

TEST(ThemeColors, MixColorBlendsEveryChannelRoundingHalfUp) {
    EXPECT_EQ(mixColor(0xFF202C19, 0xFFFFFFFF, 0.06f), 0xFF2D3927u);
    EXPECT_EQ(mixColor(0xFF202C19, 0xFFFFFFFF, 0.1f), 0xFF364130u);
    EXPECT_EQ(mixColor(0xFF8DC63F, 0xFFFFFFFF, 0.2f), 0xFFA4D165u);
    EXPECT_EQ(mixColor(0x00000000, 0xFFFFFFFF, 0.5f), 0x80808080u);  // 127.5 rounds up, alpha too
    EXPECT_EQ(mixColor(0x11223344, 0x99AABBCC, -3.0f), 0x11223344u);
    EXPECT_EQ(mixColor(0x11223344, 0x99AABBCC, 7.0f), 0x99AABBCCu);
    // The blend is per byte, so swapping red and blue before or after gives the same colour.
    EXPECT_EQ(toImColor(mixColor(0xCC1C2A14, 0xCC000000, 0.55f)),
              mixColor(toImColor(0xCC1C2A14), toImColor(0xCC000000), 0.55f));
}

TEST(ThemeColors, ConversionSwapsRedAndBlue) {
    EXPECT_EQ(toImColor(0xFF8DC63F), 0xFF3FC68Du);
    EXPECT_EQ(toImColor(0x80112233), 0x80332211u);
    const ImVec4 c = toStyleColor(0x995A8A1A);
    EXPECT_FLOAT_EQ(c.x, 0x5A / 255.0f);
    EXPECT_FLOAT_EQ(c.y, 0x8A / 255.0f);
    EXPECT_FLOAT_EQ(c.z, 0x1A / 255.0f);
    EXPECT_FLOAT_EQ(c.w, 0x99 / 255.0f);
}

TEST(ThemeColors, SetEntriesTakeTheTableAndOthersKeepTheLibraryDefaults) {
    ImGuiStyle style;
    compat::StyleExtras extras;
    applyTheme(style, extras);
    const ImGuiStyle defaults;
    std::set<int> set;
    for (const ThemeColor& entry : themeColors()) {
        EXPECT_TRUE(set.insert(entry.index).second) << "entry listed twice: " << entry.index;
        const ImVec4 want = toStyleColor(entry.argb);
        const ImVec4 got = style.Colors[entry.index];
        EXPECT_TRUE(got.x == want.x && got.y == want.y && got.z == want.z && got.w == want.w)
            << ImGui::GetStyleColorName(entry.index);
    }
    EXPECT_EQ(set.size(), 45u);
    EXPECT_TRUE(set.count(compat::ColTabSelected) && set.count(compat::ColNavCursor));
    for (int i = 0; i < ImGuiCol_COUNT; ++i) {
        if (set.count(i)) continue;
        const ImVec4 a = style.Colors[i];
        const ImVec4 b = defaults.Colors[i];
        EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w) << ImGui::GetStyleColorName(i);
    }
    EXPECT_FLOAT_EQ(extras.hoverStationaryDelay, 0.1f);
    EXPECT_FLOAT_EQ(extras.hoverDelayNormal, 0.6f);
    EXPECT_EQ(extras.hoverFlagsForTooltipMouse,
              compat::HoveredStationary | compat::HoveredDelayNormal | ImGuiHoveredFlags_AllowWhenDisabled);
}

TEST(ThemeStyle, SizesAreLogicalPixelsTimesTheDisplayScale) {
    UiContext ui;
    setDisplayScale(ui, 2.0f);
    ContextScope scope(ui);
    const ImGuiStyle& style = ImGui::GetStyle();
    EXPECT_FLOAT_EQ(style.WindowPadding.x, 16.0f);
    EXPECT_FLOAT_EQ(style.WindowPadding.y, 12.0f);
    EXPECT_FLOAT_EQ(style.ChildRounding, 16.0f);
    EXPECT_FLOAT_EQ(style.ItemSpacing.x, 16.0f);
    EXPECT_FLOAT_EQ(style.ScrollbarSize, 20.0f);
    EXPECT_FLOAT_EQ(style.WindowBorderSize, 0.0f);
    EXPECT_FLOAT_EQ(style.PopupBorderSize, 1.0f);  // borders are not scaled by the library
    ImGui::SetCurrentContext(nullptr);
}

TEST(ShadowMask, IsASymmetricSoftSquareWithAnEmptyRimAndFullCentre) {
    const auto mask = shadowMask();
    constexpr int n = shadowMaskSize;
    auto at = [&](int x, int y) { return static_cast<int>(mask[static_cast<size_t>(y * n + x)]); };
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            ASSERT_EQ(at(x, y), at(n - 1 - x, y)) << x << "," << y;
            ASSERT_EQ(at(x, y), at(x, n - 1 - y)) << x << "," << y;
            ASSERT_EQ(at(x, y), at(y, x)) << x << "," << y;
        }
    }
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(at(i, 0), 0);
        EXPECT_EQ(at(0, i), 0);
    }
    EXPECT_EQ(at(21, 21), 255);
    EXPECT_EQ(at(22, 22), 255);
    // Rising from the rim to the middle, along the middle row and along the diagonal.
    for (int x = 1; x < n / 2; ++x) {
        EXPECT_GE(at(x, 22), at(x - 1, 22)) << x;
        EXPECT_GE(at(x, x), at(x - 1, x - 1)) << x;
    }
    EXPECT_GT(at(12, 22), 0);
    EXPECT_LT(at(12, 22), 255);
}

TEST(SkinTile, IsA76PixelRgbTileWhoseEdgesMeet) {
    const auto png = embeddedSkinPng();
    int w = 0;
    int h = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(w, 76);
    EXPECT_EQ(h, 76);
    EXPECT_EQ(channels, 3);
    auto px = [&](int x, int y, int c) { return static_cast<int>(pixels[(y * w + x) * 3 + c]); };
    // Mean absolute difference between two columns (or rows), over all channels.
    auto columnDiff = [&](int a, int b) {
        double sum = 0;
        for (int y = 0; y < h; ++y)
            for (int c = 0; c < 3; ++c) sum += std::abs(px(a, y, c) - px(b, y, c));
        return sum / (h * 3);
    };
    auto rowDiff = [&](int a, int b) {
        double sum = 0;
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) sum += std::abs(px(x, a, c) - px(x, b, c));
        return sum / (w * 3);
    };
    double innerColumns = 0;
    double innerRows = 0;
    for (int i = 1; i < 76; ++i) {
        innerColumns = std::max(innerColumns, columnDiff(i - 1, i));
        innerRows = std::max(innerRows, rowDiff(i - 1, i));
    }
    EXPECT_GT(innerColumns, 0.0) << "the tile has texture";
    EXPECT_LE(columnDiff(75, 0), innerColumns);
    EXPECT_LE(rowDiff(75, 0), innerRows);
    // Dark enough that the theme's text keeps its contrast over it.
    for (int i = 0; i < w * h * 3; ++i) EXPECT_LT(pixels[i], 48);
    stbi_image_free(pixels);
}

TEST(SkinTile, BorderRepeatsTheOppositeEdges) {
    // A 3 x 2 image whose pixels are numbered, so every copied pixel says where it came from.
    constexpr int w = 3;
    constexpr int h = 2;
    std::vector<uint8_t> image(w * h * 4);
    for (int i = 0; i < w * h; ++i) image[static_cast<size_t>(i * 4)] = static_cast<uint8_t>(i + 1);
    const auto out = withWrappedBorder(image, w, h);
    ASSERT_EQ(out.size(), static_cast<size_t>((w + 2) * (h + 2) * 4));
    auto id = [&](int x, int y) { return static_cast<int>(out[static_cast<size_t>((y * (w + 2) + x) * 4)]); };
    auto src = [&](int x, int y) { return y * w + x + 1; };
    EXPECT_EQ(id(1, 1), src(0, 0));
    EXPECT_EQ(id(3, 2), src(2, 1));
    EXPECT_EQ(id(0, 1), src(2, 0)) << "left border repeats the right column";
    EXPECT_EQ(id(4, 2), src(0, 1)) << "right border repeats the left column";
    EXPECT_EQ(id(2, 0), src(1, 1)) << "top border repeats the bottom row";
    EXPECT_EQ(id(2, 3), src(1, 0)) << "bottom border repeats the top row";
    EXPECT_EQ(id(0, 0), src(2, 1)) << "corners repeat the opposite corner";
    EXPECT_EQ(id(4, 3), src(0, 0));
}

TEST(SkinTile, AtlasHoldsTheSkinWithItsBorderAndTheMask) {
    UiContext ui;
    ContextScope scope(ui);
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    ASSERT_GE(ui.themeImages.skin, 0);
    ASSERT_GE(ui.themeImages.shadow, 0);
    const ImFontAtlasCustomRect* skin = atlas->GetCustomRectByIndex(ui.themeImages.skin);
    const ImFontAtlasCustomRect* shadow = atlas->GetCustomRectByIndex(ui.themeImages.shadow);
    EXPECT_EQ(skin->Width, 78);
    EXPECT_EQ(skin->Height, 78);
    EXPECT_EQ(shadow->Width, 44);
    unsigned char* tex = nullptr;
    int tw = 0;
    int th = 0;
    atlas->GetTexDataAsRGBA32(&tex, &tw, &th);

    const auto png = embeddedSkinPng();
    int w = 0;
    int h = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    auto atlasPx = [&](int x, int y) { return tex + ((skin->Y + y) * tw + skin->X + x) * 4; };
    auto imagePx = [&](int x, int y) { return pixels + (y * w + x) * 4; };
    for (int y = -1; y <= h; ++y) {
        for (int x = -1; x <= w; ++x) {
            ASSERT_EQ(std::memcmp(atlasPx(x + 1, y + 1), imagePx((x + w) % w, (y + h) % h), 4), 0) << x << "," << y;
        }
    }
    stbi_image_free(pixels);
    const auto mask = shadowMask();
    for (int y = 0; y < 44; ++y) {
        for (int x = 0; x < 44; ++x) {
            const unsigned char* p = tex + ((shadow->Y + y) * tw + shadow->X + x) * 4;
            ASSERT_EQ(p[0] | p[1] | p[2], 0);
            ASSERT_EQ(p[3], mask[static_cast<size_t>(y * 44 + x)]);
        }
    }
    ImVec2 uv0;
    ImVec2 uv1;
    skinUv(uv0, uv1);
    ImVec2 r0;
    ImVec2 r1;
    atlas->CalcCustomRectUV(skin, &r0, &r1);
    EXPECT_NEAR(uv0.x, r0.x + (r1.x - r0.x) / 78.0f, 1e-7);
    EXPECT_NEAR(uv1.y, r1.y - (r1.y - r0.y) / 78.0f, 1e-7);
    EXPECT_NEAR((uv1.x - uv0.x) * static_cast<float>(tw), 76.0f, 1e-3);
    ImGui::SetCurrentContext(nullptr);
}

}  // namespace
}  // namespace tarn::ui
