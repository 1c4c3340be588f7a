// The segment control: a row (or column) of cells of which exactly one is selected.
#pragma once

#include "ui/button.h"
#include "ui/placement.h"
#include "ui/view.h"

#include <imgui.h>

#include <span>
#include <string_view>

namespace tarn::ui {

struct SegmentedStyle {
    bool compact = false;   // 18 px cells in text role 1
    bool vertical = false;  // cells stacked
    // When not empty, each cell gets a 20 px icon box before its label, painted by the painter of its
    // index (cells beyond the list get an empty box).
    std::span<const IconPainter> icons;
    bool disabled = false;
    std::span<const char* const> tooltips;  // per cell; may be shorter than the labels
    SizeRule width;
    int32_t alignX = 0;
};

ImVec2 segmentedSize(std::span<const std::string_view> labels, const SegmentedStyle& style);
// True when a click selected another cell.
bool segmented(const char* id, const Rect& hint, std::span<const std::string_view> labels, int* selected,
               const SegmentedStyle& style);

}  // namespace tarn::ui
