// The window icon, decoded from PNG bytes into a surface the window system takes.
#include "ui/host/window_icon.h"

#include <SDL.h>
#include <stb_image.h>

#include <climits>
#include <cstdio>
#include <cstring>

namespace tarn::ui {

void SurfaceDeleter::operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }

WindowIcon loadWindowIcon(std::span<const std::uint8_t> png) {
    if (png.empty()) return nullptr;
    if (png.size() > static_cast<size_t>(INT_MAX)) {
        std::fprintf(stderr, "tarn-ui: the window icon did not decode: %s\n", "too large");
        return nullptr;
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels, 4);
    if (!pixels) {
        std::fprintf(stderr, "tarn-ui: the window icon did not decode: %s\n", stbi_failure_reason());
        return nullptr;
    }
    WindowIcon icon(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32));
    if (!icon) {
        std::fprintf(stderr, "tarn-ui: no bitmap for the window icon\n");
    } else {
        const size_t row = static_cast<size_t>(width) * 4;
        for (int y = 0; y < height; ++y) {
            std::memcpy(static_cast<std::uint8_t*>(icon->pixels) + static_cast<size_t>(y) * icon->pitch,
                        pixels + static_cast<size_t>(y) * row, row);
        }
    }
    stbi_image_free(pixels);
    return icon;
}

}  // namespace tarn::ui
