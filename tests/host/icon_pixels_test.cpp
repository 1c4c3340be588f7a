// The thin caption icons as pixels: the restore icon's back window has a corner as closed as the
// maximise square's, at scales 1 and 2.
#include "ui/host/offscreen.h"
#include "ui/icons.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tarn::ui {
namespace {

// Two 10 px caption icons, white on black, side by side at whole pixels.
struct CaptionIconsView : View {
    Rect maximise;
    Rect restore;
    void draw(const FrameInfo& frame) override {
        const float s = scale();
        const float x = std::round(frame.content.x);
        const float y = std::round(frame.content.y);
        ImDrawList* list = ImGui::GetWindowDrawList();
        list->AddRectFilled(ImVec2(x, y), ImVec2(x + 60 * s, y + 30 * s), IM_COL32(0, 0, 0, 255));
        maximise = Rect{x + 10 * s, y + 10 * s, 10 * s, 10 * s};
        restore = Rect{x + 35 * s, y + 10 * s, 10 * s, 10 * s};
        maximiseIcon(list, maximise, IM_COL32_WHITE);
        restoreIcon(list, restore, IM_COL32_WHITE);
    }
};

int red(const Image& image, int x, int y) {
    return image.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + x) * 4];
}

TEST(CaptionIcons, TheRestoreIconsBackCornerIsClosedLikeTheMaximiseSquares) {
    for (const float displayScale : {1.0f, 2.0f}) {
        CaptionIconsView view;
        OffscreenOptions options;
        options.width = 100;
        options.height = 70;
        options.scale = displayScale;
        options.frames = 1;
        options.framed = false;
        const Image image = renderOffscreen(view, options);
        // Both corners sit on the top row and the last column of their 10 px square. Compared: the
        // corner pixel and what lies outward of it as far as a stroke's half width and its
        // antialiased edge reach (inward, the restore icon's front window comes close).
        const int reach = static_cast<int>(std::ceil(0.6f * 1.2f * displayScale)) + 1;
        const auto corner = [&](const Rect& r) {
            return std::pair{static_cast<int>(std::lround(r.x + r.w)) - 1, static_cast<int>(std::lround(r.y))};
        };
        const auto [mx, my] = corner(view.maximise);
        const auto [rx, ry] = corner(view.restore);
        ASSERT_GT(red(image, mx, my), 128) << "scale " << displayScale << ": the maximise square's corner is lit";
        int worst = 0;
        std::string where;
        for (int dy = -reach; dy <= 0; ++dy) {
            for (int dx = 0; dx <= reach; ++dx) {
                const int difference = std::abs(red(image, mx + dx, my + dy) - red(image, rx + dx, ry + dy));
                if (difference <= worst) continue;
                worst = difference;
                where = std::to_string(dx) + ", " + std::to_string(dy);
            }
        }
        EXPECT_LE(worst, 24) << "scale " << displayScale << ", at " << where << " from the corner";
    }
}

}  // namespace
}  // namespace tarn::ui
