// The theme's drawing: the tiled skin background, soft card shadows, vertical gradients in rounded
// rectangles and the warm light glow around a framed window.
#pragma once

#include "ui/view.h"

#include <imgui.h>

#include <cstdint>

namespace tarn::ui {

struct GradientStop {
    float position = 0.0f;  // 0 top .. 1 bottom
    uint32_t colour = 0;    // 0xAARRGGBB
};

// Fills r with the window colour and tiles the skin over it at 76 px x scale from r's top-left.
void drawBackground(ImDrawList* list, const Rect& r);

// A soft black shadow around r (nine slices of the shadow mask), moved down by offsetY logical pixels.
void drawPanelShadow(ImDrawList* list, const Rect& r, float opacity, float offsetY);

// The edge glow of a framed window inside its black 5 px margin. With the context's light hook, the
// glow is drawn between the hook (additive blending) and the renderer's reset callback.
void drawLightGlow(ImDrawList* list, const Rect& r);

// A rounded rectangle filled with a vertical gradient through `count` stops.
void fillGradientRoundRect(ImDrawList* list, const Rect& r, float radius, const GradientStop* stops, int count);

}  // namespace tarn::ui
