// Pictures: decoded once per data address, placed in the atlas between frames, drawn fitted and centred.
#include "ui/pictures.h"

#include "tests/ui/ui_test_frames.h"
#include "ui/ui_context.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstring>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

// A w x h RGBA PNG whose pixel (x, y) is (x, y, 7, 255).
std::vector<uint8_t> makePng(int w, int h) {
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 7;
            p[3] = 255;
        }
    }
    std::vector<uint8_t> png;
    auto collect = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<uint8_t>*>(context);
        out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    };
    stbi_write_png_to_func(collect, &png, w, h, 4, rgba.data(), w * 4);
    return png;
}

int countLines(const std::string& text, const std::string& prefix) {
    int n = 0;
    for (size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1)) ++n;
    return n;
}

class PicturesTest : public ::testing::Test {
protected:
    ~PicturesTest() override { ImGui::SetCurrentContext(nullptr); }
    UiContext ui;
};

TEST_F(PicturesTest, FirstAskedInAFrameItIsDrawnFromTheNextFrameFittedAndCentred) {
    const std::vector<uint8_t> png = makePng(64, 32);
    const uint64_t generation = ui.atlasGeneration();
    {
        testing::TestFrame frame(ui);
        const int before = frame.drawList()->VtxBuffer.Size;
        drawPicture(frame.drawList(), Rect{10, 20, 100, 100}, png);
        EXPECT_EQ(frame.drawList()->VtxBuffer.Size, before) << "not in the atlas yet";
    }
    testing::TestFrame frame(ui);
    EXPECT_GT(ui.atlasGeneration(), generation);
    ImDrawList* list = frame.drawList();
    const int before = list->VtxBuffer.Size;
    drawPicture(list, Rect{10, 20, 100, 100}, png);
    ASSERT_EQ(list->VtxBuffer.Size, before + 4);
    const ImDrawVert& a = list->VtxBuffer[before];
    const ImDrawVert& c = list->VtxBuffer[before + 2];
    EXPECT_FLOAT_EQ(a.pos.x, 10.0f);
    EXPECT_FLOAT_EQ(a.pos.y, 45.0f);  // 100 x 50, centred vertically
    EXPECT_FLOAT_EQ(c.pos.x, 110.0f);
    EXPECT_FLOAT_EQ(c.pos.y, 95.0f);
    EXPECT_EQ(a.col, IM_COL32_WHITE);

    // The atlas holds the decoded pixels where the texture coordinates point.
    const Picture& picture = pictureFor(png);
    EXPECT_EQ(picture.width, 64);
    EXPECT_EQ(picture.height, 32);
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    const ImFontAtlasCustomRect* rect =
        atlas->GetCustomRectByIndex(ui.compat.images[static_cast<size_t>(picture.id)].rectId);
    unsigned char* tex = nullptr;
    int tw = 0;
    int th = 0;
    atlas->GetTexDataAsRGBA32(&tex, &tw, &th);
    EXPECT_NEAR(a.uv.x * static_cast<float>(tw), static_cast<float>(rect->X), 1e-3);
    for (int y = 0; y < 32; y += 5) {
        for (int x = 0; x < 64; x += 7) {
            const unsigned char* p = tex + ((rect->Y + y) * tw + rect->X + x) * 4;
            ASSERT_EQ(p[0], x);
            ASSERT_EQ(p[1], y);
            ASSERT_EQ(p[2], 7);
        }
    }
}

TEST_F(PicturesTest, APictureSurvivesTheAtlasRebuildOfAScaleChange) {
    const std::vector<uint8_t> png = makePng(20, 10);
    {
        ContextScope scope(ui);
        ASSERT_GE(pictureFor(png).id, 0);
    }
    setDisplayScale(ui, 2.0f);
    testing::TestFrame frame(ui);
    const Picture& picture = pictureFor(png);
    const int rectId = ui.compat.images[static_cast<size_t>(picture.id)].rectId;
    ASSERT_GE(rectId, 0);
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    const ImFontAtlasCustomRect* rect = atlas->GetCustomRectByIndex(rectId);
    unsigned char* tex = nullptr;
    int tw = 0;
    int th = 0;
    atlas->GetTexDataAsRGBA32(&tex, &tw, &th);
    const unsigned char* last = tex + ((rect->Y + 9) * tw + rect->X + 19) * 4;
    EXPECT_EQ(last[0], 19);
    EXPECT_EQ(last[1], 9);
    const int before = frame.drawList()->VtxBuffer.Size;
    drawPicture(frame.drawList(), Rect{0, 0, 40, 40}, png);
    EXPECT_EQ(frame.drawList()->VtxBuffer.Size, before + 4);
}

TEST_F(PicturesTest, DecodedOncePerDataAddress) {
    const std::vector<uint8_t> png = makePng(8, 8);
    const std::vector<uint8_t> copy = png;
    for (int i = 0; i < 3; ++i) {
        testing::TestFrame frame(ui);
        drawPicture(frame.drawList(), Rect{0, 0, 16, 16}, png);
    }
    EXPECT_EQ(ui.compat.images.size(), 3u) << "the two theme images and one picture";
    {
        testing::TestFrame frame(ui);
        drawPicture(frame.drawList(), Rect{0, 0, 16, 16}, copy);
    }
    EXPECT_EQ(ui.compat.images.size(), 4u) << "the same bytes at another address decode again";
    ContextScope scope(ui);
    EXPECT_EQ(contextState<Pictures>(picturesTag)->entries.size(), 2u);
    EXPECT_NE(pictureFor(png).id, pictureFor(copy).id);
}

TEST_F(PicturesTest, OutsideAFrameThePictureIsPlacedAtOnce) {
    const std::vector<uint8_t> png = makePng(5, 3);
    ContextScope scope(ui);
    const Picture& picture = pictureFor(png);
    ASSERT_GE(picture.id, 0);
    EXPECT_GE(ui.compat.images[static_cast<size_t>(picture.id)].rectId, 0);
}

TEST_F(PicturesTest, ACorruptPngIsReportedOnceAndNeverRetried) {
    std::vector<uint8_t> bad = makePng(8, 8);
    bad.resize(40);
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        testing::TestFrame frame(ui);
        const int before = frame.drawList()->VtxBuffer.Size;
        drawPicture(frame.drawList(), Rect{0, 0, 16, 16}, bad);
        EXPECT_EQ(frame.drawList()->VtxBuffer.Size, before);
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(countLines(err, "tarn-ui: a PNG did not decode: "), 1) << err;
    EXPECT_EQ(countLines(err, "\n"), 1) << err;
    ContextScope scope(ui);
    EXPECT_EQ(pictureFor(bad).id, -1);
    EXPECT_EQ(ui.compat.images.size(), 2u);
}

TEST_F(PicturesTest, EmptyDataAndOversizedPicturesAreRefusedWithTheirLines) {
    const std::vector<uint8_t> wide = makePng(3000, 1);
    const std::vector<uint8_t> full = makePng(compat::atlasWidth, 1);  // as wide as the atlas: no room beside padding
    const uint8_t nothing[1] = {0};
    ::testing::internal::CaptureStderr();
    {
        ContextScope scope(ui);
        EXPECT_EQ(pictureFor(std::span<const uint8_t>(nothing, 0)).id, -1);
        EXPECT_EQ(pictureFor(wide).id, -1);
        pictureFor(full);
        pictureFor(full);
    }
    testing::TestFrame frame(ui);
    const int before = frame.drawList()->VtxBuffer.Size;
    drawPicture(frame.drawList(), Rect{0, 0, 50, 50}, full);
    EXPECT_EQ(frame.drawList()->VtxBuffer.Size, before);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(err, ::testing::HasSubstr("tarn-ui: a PNG did not decode: no bytes\n"));
    EXPECT_THAT(err, ::testing::HasSubstr("tarn-ui: no room in the atlas for a 3000 x 1 PNG\n"));
    EXPECT_EQ(countLines(err, "tarn-ui: no room in the atlas for a 2048 x 1 PNG\n"), 1) << err;
    EXPECT_GE(ui.themeImages.skin, 0) << "the theme images keep their places";
}

}  // namespace
}  // namespace tarn::ui
