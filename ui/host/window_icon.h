// The window icon, decoded from PNG bytes into a surface the window system takes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

struct SDL_Surface;

namespace tarn::ui {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const;
};
using WindowIcon = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// An RGBA surface of the PNG's size, or null: silently for empty bytes, with a line on stderr
// for bytes that do not decode or a surface that cannot be made.
WindowIcon loadWindowIcon(std::span<const std::uint8_t> png);

}  // namespace tarn::ui
