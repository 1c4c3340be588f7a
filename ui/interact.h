// Pointer interaction for draggable points, bars and rectangles, their drawing, and tooltips.
#pragma once

#include "ui/view.h"

#include <imgui.h>

#include <cstdint>
#include <string_view>

namespace tarn::ui {

struct HotspotKind {
    static constexpr uint32_t point = 0;
    static constexpr uint32_t verticalBar = 1;
    static constexpr uint32_t horizontalBar = 2;
    static constexpr uint32_t rectangle = 3;
};

struct DragAxis {
    static constexpr int32_t free = 0;
    static constexpr int32_t x = 1;
    static constexpr int32_t y = 2;
    static constexpr int32_t firstMove = 3;  // decided by the first movement past the threshold
};

struct Hotspot {
    uint32_t kind = HotspotKind::point;
    ImVec2 point{0.0f, 0.0f};  // the point; the bar's x (vertical) or y (horizontal)
    Rect area;                 // the bar's extent, or the rectangle
    float grabRadius = 6.0f;   // logical pixels
    int32_t dragAxis = DragAxis::free;
    int32_t mouseCursor = -1;  // an ImGuiMouseCursor_ value; negative: chosen by kind
    const char* tooltip = nullptr;
    // A double click means something here (a reset, an entry): its second press belongs to the
    // double click alone. Everywhere else every press counts, however soon it follows the last.
    bool doubleClicks = false;
};

struct Interaction {
    bool hovered = false;
    bool held = false;
    bool pressed = false;        // this frame
    bool released = false;       // this frame
    bool dragging = false;       // moved more than 3 px x scale since the press
    bool clicked = false;        // released without dragging
    bool doubleClicked = false;  // only where the hotspot gives double clicks a meaning
    bool rightClicked = false;
    int32_t dragAxis = DragAxis::free;  // in force
    ImVec2 stepDelta{0.0f, 0.0f};       // since the previous frame
    ImVec2 totalDelta{0.0f, 0.0f};      // since the press, after the axis lock
    ImVec2 pressPosition{0.0f, 0.0f};
    bool shift = false;  // modifiers as they were at the press
    bool alt = false;
    bool ctrl = false;
    float mouseWheel = 0.0f;  // only while hovered
};

// A clickable control's whole rectangle, with the 8 px grab margin the toolkit's controls share.
Hotspot rectangleHotspot(const Rect& area, int32_t mouseCursor = ImGuiMouseCursor_Hand, const char* tooltip = nullptr);

Interaction interact(const char* label, const Hotspot& hotspot);
void drawHotspot(ImDrawList* list, const Hotspot& hotspot, const Interaction& interaction, uint32_t colour,
                 uint32_t heldColour);
// The toolkit's tooltip for the last item, shown after the hover delay.
void tooltip(std::string_view text);

}  // namespace tarn::ui
