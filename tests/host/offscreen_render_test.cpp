// Rendering views offscreen: image sizes, frame records, opacity, the background and the additive light.
#include "ui/embedded.h"
#include "ui/host/additive_blend.h"
#include "ui/host/offscreen.h"
#include "ui/ui_context.h"

#include <gtest/gtest.h>
#include <imgui.h>
#include <stb_image.h>

#include <cstdlib>
#include <vector>

namespace tarn::ui {
namespace {

struct RecordingView : View {
    std::vector<FrameInfo> frames;
    void draw(const FrameInfo& frame) override { frames.push_back(frame); }
};

TEST(RenderOffscreen, ImageSizeFollowsTheScale) {
    RecordingView view;
    OffscreenOptions options;
    options.frames = 1;
    const Image one = renderOffscreen(view, options);
    EXPECT_EQ(one.width, 900);
    EXPECT_EQ(one.height, 950);
    EXPECT_EQ(one.rgba.size(), 3420000u);
    options.scale = 2.0f;
    const Image two = renderOffscreen(view, options);
    EXPECT_EQ(two.width, 1800);
    EXPECT_EQ(two.height, 1900);
    EXPECT_EQ(two.rgba.size(), 1800u * 1900u * 4u);
    for (const Image* image : {&one, &two})
        for (std::size_t i = 3; i < image->rgba.size(); i += 4) ASSERT_EQ(image->rgba[i], 255) << i;
}

TEST(RenderOffscreen, FrameRecordsCountFromZero) {
    OffscreenOptions options;
    options.width = 200;
    options.height = 100;
    options.frames = 3;
    options.frameDelta = 0.25f;
    std::vector<int> hooked;
    options.beforeFrame = [&](int i) { hooked.push_back(i); };
    RecordingView view;
    renderOffscreen(view, options);
    ASSERT_EQ(view.frames.size(), 3u);
    EXPECT_EQ(hooked, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(view.frames[0].time, 0.0);
    EXPECT_EQ(view.frames[0].dt, 0.0f);
    EXPECT_EQ(view.frames[2].time, 0.5);
    EXPECT_EQ(view.frames[2].dt, 0.25f);
    EXPECT_EQ(view.frames[1].windowControls, nullptr);
    // Framed: the content is inset by 25 px on each side at scale 1.
    EXPECT_FLOAT_EQ(view.frames[0].content.x, 25.0f);
    EXPECT_FLOAT_EQ(view.frames[0].content.w, 150.0f);
    EXPECT_FLOAT_EQ(view.frames[0].content.h, 50.0f);

    for (int frames : {0, -1}) {
        RecordingView single;
        options.frames = frames;
        options.framed = false;
        hooked.clear();
        renderOffscreen(single, options);
        ASSERT_EQ(single.frames.size(), 1u) << frames;
        EXPECT_EQ(single.frames[0].time, 0.0);
        EXPECT_EQ(single.frames[0].dt, 0.0f);
        EXPECT_FLOAT_EQ(single.frames[0].content.x, 20.0f);
    }
}

TEST(RenderOffscreen, AnEmptyUnframedViewShowsTheSkinTiledFromTheCorner) {
    RecordingView view;
    OffscreenOptions options;
    options.width = 160;
    options.height = 90;
    options.frames = 1;
    options.framed = false;
    const Image image = renderOffscreen(view, options);
    const auto png = embeddedSkinPng();
    int w = 0, h = 0, n = 0;
    unsigned char* skin = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &n, 4);
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(w, 76);
    int worst = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int got = image.rgba[static_cast<std::size_t>((y * image.width + x) * 4 + c)];
                const int want = skin[((y % h) * w + (x % w)) * 4 + c];
                worst = std::max(worst, std::abs(got - want));
            }
        }
    }
    stbi_image_free(skin);
    EXPECT_LE(worst, 2);
}

// Draws one quad through the light hook, as the glow does.
struct AdditiveQuadView : View {
    bool additive = true;
    void draw(const FrameInfo&) override {
        ImDrawList* list = ImGui::GetWindowDrawList();
        if (additive) list->AddCallback(UiContext::current().lightHook, nullptr);
        // 0x80 alpha of (200, 100, 40): Dear ImGui's packed order is ABGR.
        list->AddRectFilled(ImVec2(10, 10), ImVec2(30, 30), IM_COL32(200, 100, 40, 128));
        if (additive) list->AddCallback(ImDrawCallback_ResetRenderState, nullptr);
    }
};

TEST(RenderOffscreen, TheLightHookAddsSourceTimesAlphaToTheBackground) {
    RecordingView empty;
    AdditiveQuadView quad;
    OffscreenOptions options;
    options.width = 40;
    options.height = 40;
    options.frames = 1;
    options.framed = false;
    const Image before = renderOffscreen(empty, options);
    const Image after = renderOffscreen(quad, options);
    const int source[3] = {200, 100, 40};
    const float alpha = 128.0f / 255.0f;
    for (int y = 11; y < 29; ++y) {
        for (int x = 11; x < 29; ++x) {
            for (int c = 0; c < 3; ++c) {
                const std::size_t at = static_cast<std::size_t>((y * 40 + x) * 4 + c);
                const float expected = std::min(255.0f, before.rgba[at] + alpha * source[c]);
                ASSERT_NEAR(after.rgba[at], expected, 1.0f) << x << "," << y << " channel " << c;
            }
        }
    }
    // Outside the quad the background is untouched, so the normal blend came back.
    EXPECT_EQ(after.rgba[(35 * 40 + 35) * 4], before.rgba[(35 * 40 + 35) * 4]);
}

TEST(RenderOffscreen, AZeroOrAbsurdSizeFailsCleanly) {
    RecordingView view;
    OffscreenOptions options;
    options.width = 0;
    EXPECT_THROW(renderOffscreen(view, options), std::runtime_error);
    options.width = 100;
    options.scale = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW(renderOffscreen(view, options), std::runtime_error);
    EXPECT_TRUE(view.frames.empty());
    // And a good render still works afterwards.
    options.scale = 1.0f;
    options.height = 10;
    EXPECT_EQ(renderOffscreen(view, options).width, 100);
}

}  // namespace
}  // namespace tarn::ui
