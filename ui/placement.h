// Where a widget goes inside the box it is given (scaled to fit or sized by a rule), scrolling child
// regions, and the exponential smoother behind the toolkit's animations.
#pragma once

#include "ui/view.h"

#include <imgui.h>

#include <cstdint>

namespace tarn::ui {

struct SizeKind {
    static constexpr uint32_t natural = 0;   // the widget's measured size (scaled to fit the box)
    static constexpr uint32_t fixed = 1;     // value logical pixels
    static constexpr uint32_t fill = 2;      // all the width given
    static constexpr uint32_t fraction = 3;  // value (0..1) x the width given
};

struct SizeRule {
    uint32_t kind = SizeKind::natural;
    float value = 0.0f;
};

// A placed widget: its rectangle, and whether a fit factor was pushed on the scale stack.
struct LayoutItem {
    Rect rect;
    bool scaled = false;
};

// A scrolling child window: the rectangle its content covers, and whether the child is open.
struct ChildRegion {
    Rect content;
    bool open = false;
};

// Alignments: 0 start, 1 centre, 2 end. `natural` is the widget's measured size in pixels. Every call
// is paired with endItem, which pops the fit factor again.
LayoutItem placeItem(const Rect& box, SizeRule width, ImVec2 natural, int alignX, int alignY);
void endItem(const LayoutItem& item);

// A child window over r whose content is contentHeight pixels high; always paired with endScrollRegion.
ChildRegion beginScrollRegion(const char* id, const Rect& r, float contentHeight);
void endScrollRegion(const ChildRegion& region);

// Moves `current` towards `target` as a first-order lag with time constant tau seconds (reaching about
// 98 % after tau), snapping onto the target within 0.0001.
float smoothTowards(float current, float target, float dt, float tau);

}  // namespace tarn::ui
