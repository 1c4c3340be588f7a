// Pictures: PNG images held by the program, decoded once per UI context into the font atlas and
// drawn fitted into any rectangle.
#pragma once

#include "ui/ui_context.h"
#include "ui/view.h"

#include <imgui.h>

#include <cstdint>
#include <span>
#include <unordered_map>

namespace tarn::ui {

// One cached picture. `id` is its image in the atlas (-1: none, the PNG failed); the custom rectangle
// behind it is looked up when drawing, because every atlas build places the images anew.
struct Picture {
    int id = -1;
    int width = 0;
    int height = 0;
};

// 64-bit FNV-1a over a pointer's eight bytes.
struct PointerFnvHash {
    size_t operator()(const uint8_t* p) const noexcept;
};

// The per-context cache, keyed by the PNG data's address (not its contents), in the state store
// under "PICT". Entries are never removed; a failed one stays failed.
struct Pictures {
    Pictures();
    std::unordered_map<const uint8_t*, Picture, PointerFnvHash> entries;
};

inline constexpr uint32_t picturesTag = stateTag("PICT");

// The cached picture for these bytes, decoded on first use. A picture first asked for inside a frame
// is drawn from the next frame on (1.86 builds the atlas only between frames).
const Picture& pictureFor(std::span<const uint8_t> png);

// Draws the picture fitted into r (enlarged or shrunk, aspect kept) and centred.
void drawPicture(ImDrawList* list, const Rect& r, std::span<const uint8_t> png);

}  // namespace tarn::ui
