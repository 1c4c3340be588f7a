// The picker: a field showing the selected item that opens a list, or the list browser, to pick another.
#pragma once

#include "ui/placement.h"
#include "ui/view.h"

#include <span>
#include <string>

namespace tarn::ui {

struct PickerStyle {
    const char* placeholder = "";  // shown when the selected index is out of range
    const char* emptyText = "";    // shown in the list when there are no items
    bool browser = false;          // pick in the list browser (620 x 480) instead of a plain list
    // For the browser: each item's category and second text (either may be shorter than the items).
    std::span<const std::string> categories;
    std::span<const std::string> secondTexts;
    bool disabled = false;  // opens nothing
};

// Draws the field in r. A pick writes *selected, closes the popup and returns true.
bool picker(const char* id, const Rect& r, std::span<const std::string> items, int* selected, const PickerStyle& style);

}  // namespace tarn::ui
