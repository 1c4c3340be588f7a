// The drag field: a parameter's value shown as text, changed by dragging up and down or by typing it.
#pragma once

#include "ui/param.h"
#include "ui/placement.h"
#include "ui/view.h"

#include <string_view>

namespace tarn::ui {

struct DragStyle {
    bool large = false;    // 92 x 36 px, value in text role 4, caption above it
    bool slim = false;     // with large: 26 px high, caption beside the value
    bool disabled = false;  // no dragging, no entry, value dimmed
    bool readOnly = false;  // hovered and showing its tooltip, but neither dragged nor typed into
    std::string_view caption;  // empty for none
    SizeRule width;
    int32_t alignX = 0;
    const char* tooltip = nullptr;  // shown instead of the parameter's description
};

struct DragResult {
    bool changed = false;  // the value changed this frame
    bool hovered = false;
    bool held = false;
};

// Vertical drags move the value (up raises it): 6 px a step for whole-number and choice parameters,
// 200 px over the whole range for the others, ten times finer with Shift. A double click opens the
// number entry.
DragResult dragField(const char* id, const Rect& hint, Param& param, const DragStyle& style);
// dragField's changed flag.
bool dragValue(const char* id, const Rect& hint, Param& param, const DragStyle& style);

}  // namespace tarn::ui
