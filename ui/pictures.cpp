// Decodes PNG pictures once per context, keeps them in the font atlas and draws them fitted.
#include "ui/pictures.h"

#include "ui/imgui_compat.h"

#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tarn::ui {

size_t PointerFnvHash::operator()(const uint8_t* p) const noexcept {
    const auto bits = reinterpret_cast<uintptr_t>(p);
    uint64_t h = 0xcbf29ce484222325ull;
    for (int i = 0; i < 8; ++i) {
        h ^= (static_cast<uint64_t>(bits) >> (8 * i)) & 0xFFu;
        h *= 0x100000001b3ull;
    }
    return static_cast<size_t>(h);
}

Pictures::Pictures() {
    entries.reserve(8);
    entries.max_load_factor(1.0f);
}

const Picture& pictureFor(std::span<const uint8_t> png) {
    UiContext& ui = UiContext::current();
    Pictures& cache = *contextState<Pictures>(picturesTag);
    auto [found, inserted] = cache.entries.try_emplace(png.data(), Picture{});
    Picture& picture = found->second;
    if (!inserted) return picture;

    if (png.empty()) {
        std::fprintf(stderr, "tarn-ui: a PNG did not decode: %s\n", "no bytes");
        return picture;
    }
    // The header is read first, so that an image too large for the atlas is refused without decoding.
    int w = 0;
    int h = 0;
    int channels = 0;
    const int length = static_cast<int>(std::min<size_t>(png.size(), static_cast<size_t>(INT32_MAX)));
    if (stbi_info_from_memory(png.data(), length, &w, &h, &channels) == 0) {
        std::fprintf(stderr, "tarn-ui: a PNG did not decode: %s\n", stbi_failure_reason());
        return picture;
    }
    if (w > compat::atlasWidth || h > compat::atlasWidth) {
        std::fprintf(stderr, "tarn-ui: no room in the atlas for a %d x %d PNG\n", w, h);
        return picture;
    }
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load_from_memory(png.data(), length, &w, &h, &channels, 4),
                                                     stbi_image_free);
    if (pixels == nullptr) {
        std::fprintf(stderr, "tarn-ui: a PNG did not decode: %s\n", stbi_failure_reason());
        return picture;
    }
    const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
    picture.id = compat::addImage(ui.compat, w, h, std::vector<uint8_t>(pixels.get(), pixels.get() + bytes));
    picture.width = w;
    picture.height = h;
    // Outside a frame the atlas takes the picture at once; inside one, before the next frame.
    ui.refreshAtlas();
    return picture;
}

void drawPicture(ImDrawList* list, const Rect& r, std::span<const uint8_t> png) {
    const Picture& picture = pictureFor(png);
    if (picture.id < 0 || !(r.w > 0.0f && r.h > 0.0f)) return;
    const UiContext& ui = UiContext::current();
    ImVec2 uv0;
    ImVec2 uv1;
    if (!compat::customRectUv(ui.compat.images[static_cast<size_t>(picture.id)].rectId, uv0, uv1)) return;
    const float f = std::min(r.h / static_cast<float>(picture.height), r.w / static_cast<float>(picture.width));
    const ImVec2 size(static_cast<float>(picture.width) * f, static_cast<float>(picture.height) * f);
    const ImVec2 topLeft(r.x + (r.w - size.x) * 0.5f, r.y + (r.h - size.y) * 0.5f);
    list->AddImage(compat::atlasTexture(), topLeft, ImVec2(topLeft.x + size.x, topLeft.y + size.y), uv0, uv1,
                   IM_COL32_WHITE);
}

}  // namespace tarn::ui
