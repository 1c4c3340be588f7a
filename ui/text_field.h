// The single-line text field over a std::string, with an optional placeholder.
#pragma once

#include "ui/view.h"

#include <string>
#include <string_view>

namespace tarn::ui {

// Placed at r (its height sets the frame padding). Returns true when the text changed.
bool textField(const char* id, const Rect& r, std::string& text, std::string_view placeholder);

}  // namespace tarn::ui
