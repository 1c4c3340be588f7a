// The toggle switch: a track with a knob that eases between off and on, and its label.
#pragma once

#include "ui/placement.h"
#include "ui/view.h"

#include <imgui.h>

#include <string_view>

namespace tarn::ui {

struct ToggleStyle {
    SizeRule width;
    int32_t alignX = 0;  // 0 start, 1 centre, 2 end
    bool disabled = false;
    const char* tooltip = nullptr;
};

ImVec2 toggleSize(std::string_view label);
// Flips *on on a click and returns true then.
bool toggle(const char* id, const Rect& hint, std::string_view label, bool* on, const ToggleStyle& style);

}  // namespace tarn::ui
