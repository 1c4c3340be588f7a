// The words the arc and motion tabs share: their header rows, sliders, the drawing area and lane strokes.
#pragma once

#include "engine/patch.h"
#include "ui/view.h"

#include <imgui.h>

#include <cstdint>
#include <span>

namespace tarn {

// Colours both drawing areas use, 0xAARRGGBB.
namespace canvasColors {
inline constexpr std::uint32_t hint = 0xff8a8870;
inline constexpr std::uint32_t warning = 0xffd0a828;
inline constexpr std::uint32_t majorLine = 0x40c8d8a8;
inline constexpr std::uint32_t minorLine = 0x1cc8d8a8;
inline constexpr std::uint32_t otherLane = 0x668a8870;
inline constexpr std::uint32_t drawn = 0xfff0eed8;
inline constexpr std::uint32_t playCursor = 0xffc84830;
}  // namespace canvasColors

// The tab's title with a one-line hint beside it.
void titleWithHint(const char* title, const char* hint, std::uint32_t colour);

// One radio button of a lane row, its label in `colour`; true when pressed.
bool laneRadio(const char* label, bool selected, std::uint32_t colour);
// A radio button's width with its label, for rows that wrap.
float radioWidth(const char* label);

// A button as low as Dear ImGui's small one, with room below the text for the tails of p and q.
bool smallButton(const char* label);
// Lowers the text that starts the current line to the small buttons' text.
void alignTextToSmallButtons();

// A 0..1 slider at the default width with its tooltip.
void unitSlider(const char* label, float* value, const char* tooltip);

// The rectangle the user draws in: placed at the cursor, filled, outlined and clipped until
// endDrawingArea. Hovered and active come from the invisible button that covers it.
struct DrawingArea {
    ImDrawList* list = nullptr;
    ui::Rect rect;
    bool hovered = false;
    bool active = false;

    float right() const { return rect.x + rect.w; }
    float bottom() const { return rect.y + rect.h; }
    // Lane value -1..1 to y, and back from the mouse: +1 is the top edge.
    float yOf(float value) const;
    float valueAt(float y) const;
};
DrawingArea beginDrawingArea(const char* id, float height);
void endDrawingArea(const DrawingArea& area);

// A straight line `px` pixels thick (already scaled).
void drawLine(ImDrawList* list, ImVec2 a, ImVec2 b, std::uint32_t colour, float px);
// A vertical line through the whole area.
void drawAreaLine(const DrawingArea& area, float x, std::uint32_t colour, float px);

// Sets every point from lastPoint (or `point` when no stroke runs) to `point` inclusive to `value`,
// so a fast sweep leaves no gaps between two frames; then lastPoint = point.
void writeStroke(float* curve, std::int32_t& lastPoint, int point, float value);

// A lane as loud as its depth: solid and depth x 3 + 1 thick when it reaches the sound, else dashed.
void drawLaneStroke(ImDrawList* list, std::span<const ImVec2> points, std::uint32_t colour, float depth);

// A depth field of the patch, writable (the engine's table names them read-only).
inline float& depthField(Patch& patch, const float Patch::*field) { return const_cast<float&>(patch.*field); }

}  // namespace tarn
