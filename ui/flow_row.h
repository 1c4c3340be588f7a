// Rows of Dear ImGui items that wrap in a narrow window instead of running past its edge.
#pragma once

#include <string_view>

namespace tarn::ui {

// Continues the current line with an item `width` px wide when it fits there after `spacing` px (the
// style's item spacing when negative); else the item starts the next line.
void sameLineIfRoom(float width, float spacing = -1.0f);

// Widths in px as Dear ImGui lays these out in the current font: a button, and an item `itemWidth` px
// wide followed by its label (the part after "##" hidden).
float buttonWidth(std::string_view label);
float labelledWidth(float itemWidth, std::string_view label);
float textWidth(std::string_view text);

// Text in the current colour that wraps at the window's edge.
void wrappedText(std::string_view text);

}  // namespace tarn::ui
