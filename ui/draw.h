// The drawing kit over ImDrawList: strokes, dashes, glows, strips and fills in logical pixels.
#pragma once

#include "ui/view.h"

#include <imgui.h>

#include <cstdint>
#include <span>

namespace tarn::ui {

// Colours are 0xAARRGGBB; thickness, rounding, dash and gap are logical pixels, multiplied by the
// current UI scale. Points, rectangles and circle radii are already in pixels.

// Multiplies the alpha of every vertex from firstVertex to the end of the list by factor.
void fadeVertices(ImDrawList* list, int firstVertex, float factor);

void drawPolyline(ImDrawList* list, std::span<const ImVec2> points, uint32_t colour, float thickness);
void drawDashedPolyline(ImDrawList* list, std::span<const ImVec2> points, uint32_t colour, float thickness,
                        float dash, float gap);
void drawDashedLine(ImDrawList* list, ImVec2 a, ImVec2 b, uint32_t colour, float thickness, float dash,
                    float gap);
// The line over two wider, fainter passes; glow 0..1 sets the halo's strength.
void drawGlowPolyline(ImDrawList* list, std::span<const ImVec2> points, uint32_t colour, float glow,
                      float thickness);

// Strips: one quad per pair of neighbouring points, not anti-aliased.
void fillUnderPolyline(ImDrawList* list, std::span<const ImVec2> points, float baselineY, uint32_t colour);
void fillBetween(ImDrawList* list, std::span<const ImVec2> upper, std::span<const ImVec2> lower,
                 uint32_t colour);
// Column i spans x0 + i x width .. + width, between a[i] and b[i], at least 1 px high.
void fillColumns(ImDrawList* list, float x0, float width, std::span<const float> a, std::span<const float> b,
                 uint32_t colour);

void drawCircle(ImDrawList* list, ImVec2 centre, float radius, uint32_t colour, float thickness);
void fillCircle(ImDrawList* list, ImVec2 centre, float radius, uint32_t colour);
void fillRoundRect(ImDrawList* list, const Rect& rect, uint32_t colour, float radius);
void strokeRoundRect(ImDrawList* list, const Rect& rect, uint32_t colour, float radius, float thickness);

}  // namespace tarn::ui
