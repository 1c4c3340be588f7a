// Renders the toolkit's gallery offscreen at scales 1 and 2, saves the pictures for review, and
// checks them by statistics: colour variety, text-like detail in the text rows, a seamless skin.
#include "gallery_view.h"
#include "ui/host/offscreen.h"
#include "ui/host/png_save.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace tarn::ui {
namespace {

struct Pixel {
    int r, g, b;
};

Pixel at(const Image& image, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + x) * 4;
    return {image.rgba[i], image.rgba[i + 1], image.rgba[i + 2]};
}

int luminance(Pixel p) { return (p.r * 3 + p.g * 6 + p.b) / 10; }

class Gallery : public ::testing::TestWithParam<float> {};

TEST_P(Gallery, RendersWithTheLookOfTheToolkit) {
    const float displayScale = GetParam();
    testing::GalleryView view;
    OffscreenOptions options;
    options.scale = displayScale;
    options.height = 1760;
    const Image image = renderOffscreen(view, options);
    ASSERT_EQ(image.width, std::lround(900 * displayScale));

    const auto folder = std::filesystem::path(TARN_BINARY_DIR) / "gallery";
    std::filesystem::create_directories(folder);
    savePng(image, (folder / ("gallery-scale" + std::to_string(static_cast<int>(displayScale)) + ".png")).string());

    // Colour variety: skin noise, gradients, glyph edges, the glow and the plots together.
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i < image.rgba.size(); i += 4)
        colours.insert(image.rgba[i] << 16 | image.rgba[i + 1] << 8 | image.rgba[i + 2]);
    EXPECT_GT(colours.size(), 2000u);

    // Text rows: a horizontal scan through the text card crosses many glyph edges.
    const Rect card = view.textCard;
    int bestRow = 0;
    for (int y = static_cast<int>(card.y + 40 * displayScale); y < static_cast<int>(card.y + card.h - 8); ++y) {
        int transitions = 0;
        int previous = luminance(at(image, static_cast<int>(card.x + 8), y));
        for (int x = static_cast<int>(card.x + 8); x < static_cast<int>(card.x + card.w - 8); ++x) {
            const int now = luminance(at(image, x, y));
            if (std::abs(now - previous) > 40) ++transitions;
            previous = now;
        }
        bestRow = std::max(bestRow, transitions);
    }
    EXPECT_GT(bestRow, 20) << "no row in the text card looks like text";

    // The skin repeats every 76 x scale pixels: the step across a tile edge is no larger than
    // the steps inside the tile.
    const Rect patch = view.backgroundPatch;
    ASSERT_GT(patch.h, 8.0f);
    const int tile = static_cast<int>(std::lround(76 * displayScale));
    double across = 0.0, inside = 0.0;
    int acrossCount = 0, insideCount = 0;
    for (int y = static_cast<int>(patch.y) + 2; y < static_cast<int>(patch.y + patch.h) - 2; ++y) {
        for (int x = static_cast<int>(patch.x) + 1; x < static_cast<int>(patch.x + patch.w); ++x) {
            const double step = std::abs(luminance(at(image, x, y)) - luminance(at(image, x - 1, y)));
            if (x % tile == 0) {
                across += step;
                ++acrossCount;
            } else {
                inside += step;
                ++insideCount;
            }
        }
    }
    ASSERT_GT(acrossCount, 0);
    EXPECT_LE(across / acrossCount, 1.5 * inside / insideCount + 1.0);
}

// The header's menu open over the gallery: the picture differs from the closed one below the menu button.
TEST_P(Gallery, HeaderMenuOpens) {
    const float displayScale = GetParam();
    OffscreenOptions options;
    options.scale = displayScale;
    options.height = 1760;
    testing::GalleryView closedView;
    const Image closed = renderOffscreen(closedView, options);
    testing::GalleryView openView;
    openView.menusOpen = true;
    const Image open = renderOffscreen(openView, options);
    // Either test of the pair may run first, or alone.
    const auto folder = std::filesystem::path(TARN_BINARY_DIR) / "gallery";
    std::filesystem::create_directories(folder);
    savePng(open,
            (folder / ("gallery-menus-scale" + std::to_string(static_cast<int>(displayScale)) + ".png")).string());
    int changed = 0;
    for (int y = static_cast<int>(60 * displayScale); y < static_cast<int>(300 * displayScale); ++y)
        for (int x = static_cast<int>(30 * displayScale); x < static_cast<int>(150 * displayScale); ++x)
            changed += luminance(at(closed, x, y)) != luminance(at(open, x, y));
    EXPECT_GT(changed, static_cast<int>(5000 * displayScale * displayScale)) << "the menu covers that corner";
}

INSTANTIATE_TEST_SUITE_P(Scales, Gallery, ::testing::Values(1.0f, 2.0f));

}  // namespace
}  // namespace tarn::ui
