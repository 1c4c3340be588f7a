// The single-line text field over a std::string, with an optional placeholder.
#pragma once

#include "ui/view.h"

#include <string>
#include <string_view>

namespace tarn::ui {

// Placed at r (its height sets the frame padding). Returns true when the text changed. Escape lets go
// of the field and keeps the text as typed. The text keeps every character the user does not delete,
// whatever its plane (one no font draws shows as U+FFFD); an edit writes it back without control
// characters, and a pasted run of tabs and line breaks becomes one space.
bool textField(const char* id, const Rect& r, std::string& text, std::string_view placeholder);

// The text field `id`, drawn next in the current window, takes the keyboard in this frame, with its
// text selected: what is typed from the next frame on goes there.
void focusTextField(const char* id);

}  // namespace tarn::ui
