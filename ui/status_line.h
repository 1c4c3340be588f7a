// The header's one-line status message, with an override that stands in for it while set.
#pragma once

#include "ui/view.h"

#include <cstdint>
#include <string_view>

namespace tarn::ui {

struct StatusLine {
    std::string_view text;
    std::string_view detail;        // shown in the tooltip
    uint32_t level = 0;             // 0 information, 1 warning, 2 error
    std::string_view overrideText;  // when not empty, shown with its detail and level instead
    std::string_view overrideDetail;
    uint32_t overrideLevel = 0;
    int32_t align = 0;  // 0 left, 1 centre, 2 right
};

// Draws the shown text in r, cut with an ellipsis to fit; its tooltip holds the whole text when it was
// cut, and the detail. Nothing is drawn where not even one character fits before the ellipsis.
void statusLine(const char* id, const Rect& r, const StatusLine& status);
// The shown text's width plus 4 px; 0 for an empty text.
float statusWidth(const StatusLine& status);

}  // namespace tarn::ui
